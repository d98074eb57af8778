#include "config/CWait.h"

#include "BuildConfig.h"
#include "shell/OpenWebPage.h"

namespace vlmr {

void CWait::WLabrel_Click() { OpenWebPage(runtime_, shell_, view_.Handle(), kHomePage); }

}  // namespace vlmr
