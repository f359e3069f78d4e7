// The program's dialog templates: each builds a screen whose controls can all be found, inside
// the template's own size.

#include "platform/ui/Dialog.h"
#include "resources/ProgramResources.h"
#include "resources/ResourceIds.h"
#include "tests/support/Printing.h"
#include "tests/support/TestDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

using testing_support::CScript;
using testing_support::CTestDriver;

namespace {

TEST(TemplatesTest, ControlsLieInsideTheirDialogAndTheirIdsAreUnique) {
    std::set<UINT> templateIds;
    for (const DialogTemplate* dialog : ProgramTemplates()) {
        SCOPED_TRACE(testing::Message() << "template " << dialog->id);
        EXPECT_TRUE(templateIds.insert(dialog->id).second);
        std::set<int> controlIds;
        for (const ControlTemplate& control : dialog->controls) {
            EXPECT_LE(control.x + control.cx, dialog->cx) << "control " << control.id;
            EXPECT_LE(control.y + control.cy, dialog->cy) << "control " << control.id;
            if (control.id != IDC_STATIC) {
                EXPECT_TRUE(controlIds.insert(control.id).second) << "control " << control.id;
            }
        }
        for (const ComboInitData& data : dialog->initData) {
            bool isCombo = false;
            for (const ControlTemplate& control : dialog->controls) {
                isCombo |= control.id == data.controlId && control.kind == ControlKind::ComboBox;
            }
            EXPECT_TRUE(isCombo) << "initial data for control " << data.controlId;
        }
    }
    EXPECT_EQ(templateIds, (std::set<UINT>{101, 102, 135, 136, 137, 139, 144, 145, 146}));
}

TEST(TemplatesTest, EveryTemplateBuildsAScreenWithAllItsControls) {
    CTestDriver driver;
    for (const DialogTemplate* dialog : ProgramTemplates()) {
        SCOPED_TRACE(testing::Message() << "template " << dialog->id);
        driver.Run([&] { CDialog(dialog->id).DoModal(); },
                   [&](CScript& s) {
                       ASSERT_TRUE(s.WaitForScreen(dialog->id));
                       for (const ControlTemplate& control : dialog->controls) {
                           if (control.id != IDC_STATIC) {
                               EXPECT_TRUE(s.Exists(control.id)) << "control " << control.id;
                           }
                       }
                       // A picture of each screen as its template lays it out, for a person.
                       std::filesystem::create_directories(LOMEVA_SCREENSHOT_DIR);
                       EXPECT_TRUE(s.SaveScreenshot(LOMEVA_SCREENSHOT_DIR "/template-" +
                                                    std::to_string(dialog->id) + ".png"));
                       s.PressEscape();
                       EXPECT_TRUE(s.WaitForProgramEnd());
                   });
    }
}

TEST(TemplatesTest, TheSearchFieldsComeFromTheTemplatesInitialData) {
    CTestDriver driver;
    driver.Run([] { CDialog(IDD_SEARCH).DoModal(); },
               [](CScript& s) {
                   ASSERT_TRUE(s.WaitForScreen(IDD_SEARCH));
                   EXPECT_EQ(s.Text(IDC_COMBO_FIELD), CString()); // nothing selected yet
                   EXPECT_FALSE(s.IsEnabled(IDC_BTN_SEARCH));
                   s.Select(IDC_COMBO_FIELD, 4);
                   s.Sync();
                   EXPECT_EQ(s.Text(IDC_COMBO_FIELD), CString(u"全文"));
                   s.PressEscape();
               });
}

} // namespace
