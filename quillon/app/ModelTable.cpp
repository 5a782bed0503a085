// Look-up in the model table.
#include "quillon/app/ModelTable.h"

int FindModel(std::u16string_view text) {
    for (int position = 0; modelTable[position] != nullptr; ++position) {
        if (text == modelTable[position]) {
            return position;
        }
    }
    return -1;
}
