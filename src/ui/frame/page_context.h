// What every page of the tab view is constructed with.
#pragma once

#include <string>
#include <vector>

class CModelBase;

struct CPageContext {
    CModelBase& model;
    // Ports that are not in the system's list but can be opened: the in-process
    // simulated radio ("SIM") when the program runs with --simulate. The Port page lists
    // them with the system's ports.
    std::vector<std::wstring> extraPorts;
};
