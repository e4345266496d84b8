#pragma once
#include "RunState.h"
#include "UpdateUi.h"

#include <string>

// Copies each file the patch library is about to patch from the CD into the install folder,
// and records copied game archives in update.map.
class CdCopier {
public:
    CdCopier(UpdateUi& ui, RunState state) : m_ui(ui), m_state(state) {}
    virtual ~CdCopier() = default;

    // Copies `name` from the CD into the install folder, replacing what is there; on failure
    // tells the player in the log and sets the run's error flag. Virtual so that tests of
    // the patch library's events can stand in for the disk.
    virtual void CopyFromCD(std::string name);

private:
    void ReportCopyFailure(const std::string& statusLine, const std::string& target,
                           unsigned long errorCode);
    void AppendToUpdateMap(std::string name);

    UpdateUi& m_ui;
    RunState m_state;
};
