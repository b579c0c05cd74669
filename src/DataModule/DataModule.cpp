#include "DataModule/DataModule.h"

namespace vr {

TDM* DM = nullptr;

}  // namespace vr
