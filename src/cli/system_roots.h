// Where zr8 reads the system's view of its hardware on Linux: /sys, /dev, /proc and /run,
// each replaceable through the environment (ZR8_SYSFS_ROOT, ZR8_DEV_ROOT, ZR8_PROC_ROOT,
// ZR8_RUN_ROOT), so a test, or an owner's bug report, can replay a recorded machine.
#pragma once

#include <filesystem>
#include <string>

struct CSystemRoots {
    std::filesystem::path sys = "/sys";
    std::filesystem::path dev = "/dev";
    std::filesystem::path proc = "/proc";
    std::filesystem::path run = "/run";
};

CSystemRoots SystemRoots();

// A small file of sysfs or /proc (at most 4 KiB); false when it is missing, a folder or
// cannot be read.
bool ReadSmallFile(const std::filesystem::path& path, std::string& text);
// The last part of where a symbolic link points ("ftdi_sio" for a driver link); empty when
// it is no link.
std::string LinkName(const std::filesystem::path& link);
