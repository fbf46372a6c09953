// The file server over libcurl (Linux): one easy handle, so the control connection
// stays open from the login to the last file.
#pragma once

#include <memory>

#include "platform/ftp_transport.h"

std::unique_ptr<IFtpTransport> CreateCurlFtpTransport();
