// CPowerOnBannerSheet: the modal "Edit Power On Banner" sheet around its one page, with
// OK and Cancel only (no Apply, no context help), centred on its owner.
#pragma once

#include "ui/dialogs/power_on_banner_page.h"
#include "ui/framework/property_sheet_impl.h"

class CModelBase;

class CPowerOnBannerSheet : public CPropertySheetImpl<CPowerOnBannerSheet> {
public:
    explicit CPowerOnBannerSheet(CModelBase& model);

    CPowerOnBannerPage& Page() { return m_page; }

protected:
    void OnSheetInitialized() override;

private:
    CPowerOnBannerPage m_page;
};
