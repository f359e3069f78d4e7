// A message map entry whose handler belongs to another class. Compiled with LOMEVA_OWN_HANDLER
// it names the map's own class and must compile; without, it names a class that is not the
// map's owner nor one of its bases, would call that member on an object of the wrong type, and
// must not compile.

#include "platform/ui/Dialog.h"

class CMine : public CDialog {
public:
    using CDialog::CDialog;
    void OnThing() {}

protected:
    const CMessageMap* GetMessageMap() const override;
};

class CStranger : public CDialog {
public:
    using CDialog::CDialog;
    void OnThing() {}
};

const CMessageMap* CMine::GetMessageMap() const {
#ifdef LOMEVA_OWN_HANDLER
    static const CMessageMapOf<CMine> map(CDialog::GetMessageMap(),
                                          {On::Clicked(7, &CMine::OnThing)});
#else
    static const CMessageMapOf<CMine> map(CDialog::GetMessageMap(),
                                          {On::Clicked(7, &CStranger::OnThing)});
#endif
    return &map;
}
