"""Helpers of the end-to-end tests: Xvfb, Wine prefixes, the player's machine, the UI driver."""
