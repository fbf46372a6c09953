// The pages of the tab view, in tab order, which fixes their indices:
//   0 Port (14500), 1 Firmware (15000), 2 Configuration (13700), 3 Command Tester (11200).
// A page class is added here and nowhere else in the frame.
#pragma once

#include <memory>
#include <vector>

#include "ui/frame/page_context.h"
#include "ui/framework/property_page_impl.h"

constexpr int kPortPageIndex = 0;
constexpr int kFirmwarePageIndex = 1;
constexpr int kConfigurationPageIndex = 2;
constexpr int kCommandTesterPageIndex = 3;
constexpr int kPageCount = 4;

std::vector<std::unique_ptr<CPropertyPageBase>> CreatePages(CPageContext& context);
