#pragma once
// The background page: 38 numbered pictures and 12 numbered pieces of music. Selecting an entry
// stores its file name into the settings at once; "预览" shows the picture in the viewer.

#include "platform/ui/Controls.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/PropertySheet.h"

class CPageBackGround : public CPropertyPage {
public:
    CPageBackGround();
    ~CPageBackGround() override;

    static const CRuntimeClass classCPageBackGround;
    const CRuntimeClass* GetRuntimeClass() const override { return &classCPageBackGround; }

    BOOL OnInitDialog() override;

    CListBox m_listMusic;   // 1009: "音乐1" … "音乐12"
    CListBox m_listPicture; // 1008: "图片1" … "图片38"
    CString m_strPicture;   // shown in static 1026
    CString m_strMusic;     // shown in static 1028

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const CMessageMap* GetMessageMap() const override;

    void OnPreview();
    void OnSelChangePicture();
    void OnSelChangeMusic();
};
