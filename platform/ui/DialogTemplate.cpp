#include "platform/ui/DialogTemplate.h"

#include <map>

namespace {

std::map<UINT, const DialogTemplate*>& Templates() {
    static std::map<UINT, const DialogTemplate*> templates;
    return templates;
}

} // namespace

void RegisterDialogTemplate(const DialogTemplate& dialogTemplate) {
    Templates()[dialogTemplate.id] = &dialogTemplate;
}

const DialogTemplate* FindDialogTemplate(UINT id) {
    const auto found = Templates().find(id);
    return found != Templates().end() ? found->second : nullptr;
}
