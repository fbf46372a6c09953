#include "ui/frame/page_list.h"

#include "resources/ui/ui_resource_ids.h"
#include "ui/pages/command_tester_page.h"
#include "ui/pages/configuration_page.h"
#include "ui/pages/firmware_page.h"

// The Port page comes with its own files; until they are in the tree the tab shows the
// bare template, so the frame and its tests keep working.
#if __has_include("ui/pages/port_page.h")
#include "ui/pages/port_page.h"
#define ZR8_HAVE_PORT_PAGE 1
#else
#define ZR8_HAVE_PORT_PAGE 0
#endif

namespace {
#if !ZR8_HAVE_PORT_PAGE
class CTemplateOnlyPage : public CPropertyPageBase {
public:
    explicit CTemplateOnlyPage(UINT templateId) : CPropertyPageBase(templateId) {}

protected:
    BOOL ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return FALSE; }
};
#endif
}  // namespace

std::vector<std::unique_ptr<CPropertyPageBase>> CreatePages(CPageContext& context)
{
    std::vector<std::unique_ptr<CPropertyPageBase>> pages;
#if ZR8_HAVE_PORT_PAGE
    pages.push_back(std::make_unique<CPortPage>(context));
#else
    pages.push_back(std::make_unique<CTemplateOnlyPage>(IDD_PORT_PAGE));
#endif
    pages.push_back(std::make_unique<CFirmwarePage>(context));
    pages.push_back(std::make_unique<CConfigurationPage>(context));
    pages.push_back(std::make_unique<CCommandTesterPage>(context));
    return pages;
}
