#pragma once

namespace blockdiff {

// What the parts of a block are estimated to cost once compressed, in hundredths of a byte,
// and the choices the matcher makes from that. Measured on program files: a literal byte
// compresses to about half a byte; a covered byte equal to the old one costs next to
// nothing; a differing one costs about a byte (its gap and its value in the sparse stream);
// a cover record about five.
struct CostModel {
    int literal = 55;
    int agreement = 2;
    int difference = 100;
    int cover = 500;
    // A new exact match replaces the current alignment when it is this many bytes longer
    // than what the current alignment agrees on over the same span.
    int switchMargin = 8;

    // What covering a byte saves against giving it as a literal, by whether it agrees.
    int AgreeGain() const { return literal - agreement; }
    int DisagreeGain() const { return literal - difference; }
};

} // namespace blockdiff
