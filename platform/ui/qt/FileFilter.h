// The open-file chooser's filter, from the MFC form the dialogs give to the form Qt takes.
#pragma once

#include <string>
#include <string_view>

// "Firmware File|*.kmx|All Files|*.*||" becomes "Firmware File (*.kmx);;All Files (*)": pairs of
// name and patterns; patterns separated by ";" become space-separated; "*.*" (every file on
// the system the filters were written for) becomes "*". An empty filter gives an empty one.
std::u16string QtFileFilter(std::u16string_view mfcFilter);
