#include "platform/ui/MessageMap.h"

const MessageEntry* CMessageMap::Find(UINT message, UINT id, WORD code) const {
    for (const CMessageMap* map = this; map != nullptr; map = map->m_base) {
        for (const MessageEntry& entry : map->m_entries) {
            if (entry.message != message) {
                continue;
            }
            if (message != WM_COMMAND || (entry.id == id && entry.code == code)) {
                return &entry;
            }
        }
    }
    return nullptr;
}
