#include "reading/ReaderMenu.h"

#include "platform/ui/Wnd.h"

CReaderMenu::CReaderMenu(const State& state) {
    m_menu.CreatePopupMenu();
    Append(kPoet, CString(u"诗人：") + state.author, state.hasPoetPage);
    Append(kForm, CString(u"体裁：") + state.form, state.hasFormPage);
    m_menu.AppendMenu(MF_SEPARATOR);
    Append(kPrevious, u"上一首", state.hasPrevious);
    Append(kNext, u"下一首", state.hasNext);
    Append(kRandom, u"随机一首", state.hasRandom);
    Append(kFavourite, state.isFavourite ? u"取消收藏" : u"收藏", state.canKeep);
}

void CReaderMenu::Append(Command command, const CString& text, bool enabled) {
    m_menu.AppendMenu(MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), command, text);
}

CReaderMenu::Command CReaderMenu::Track(CPoint point, CWnd& owner) {
    return static_cast<Command>(m_menu.TrackPopupMenu(TPM_RETURNCMD, point.x, point.y, &owner));
}
