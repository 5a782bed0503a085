// The open-file chooser's filter, from the MFC form the dialogs give to the form Qt takes, and
// the check of a chosen path against the chooser's options.
#pragma once

#include <string>
#include <string_view>

// "Firmware File|*.kmx|All Files|*.*||" becomes "Firmware File (*.kmx);;All Files (*)": pairs of
// name and patterns; patterns separated by ";" become space-separated; "*.*" (every file on
// the system the filters were written for) becomes "*". An empty filter gives an empty one.
std::u16string QtFileFilter(std::u16string_view mfcFilter);

// Whether the chooser may return path under its options: with "path must exist", the folder
// that would hold the file has to exist.
bool ChooserPathAcceptable(const std::u16string& path, unsigned options);
