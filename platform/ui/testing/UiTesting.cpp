#include "platform/ui/testing/UiTesting.h"

namespace UiTesting {
namespace {

struct Hooks {
    CString moduleFileName;
    IObserver* observer = nullptr;
    int zoom = 0;
};

Hooks& TheHooks() {
    static Hooks hooks;
    return hooks;
}

} // namespace

void SetModuleFileName(const CString& path) {
    TheHooks().moduleFileName = path;
}

const CString& ModuleFileNameOverride() {
    return TheHooks().moduleFileName;
}

IObserver* SetObserver(IObserver* observer) {
    IObserver* previous = TheHooks().observer;
    TheHooks().observer = observer;
    return previous;
}

IObserver* Observer() {
    return TheHooks().observer;
}

void SetZoom(int zoom) {
    TheHooks().zoom = zoom;
}

int ZoomOverride() {
    return TheHooks().zoom;
}

} // namespace UiTesting
