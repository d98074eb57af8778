#include "config/ChoiceStored.h"

#include "store/RunLog.h"

namespace vlmr {

void ReportUnstoredChoice(Runtime& runtime, const Status& stored, bool tellUser) {
    if (stored) return;
    LogError("a choice could not be stored: " + Reason(stored));
    if (tellUser)
        runtime.ShowMessage("Could not store this choice\r\n" + stored.description, "Error", MessageIcon::Warning);
}

}  // namespace vlmr
