#include "ResourceInit.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE declares the initialiser inside the calling function, so that function must
// sit at global scope, not in a namespace.
static void registerStationResources() {
    Q_INIT_RESOURCE(qorview_resources);
}

void loadStationResources() {
    static std::once_flag once;
    std::call_once(once, registerStationResources);
}
