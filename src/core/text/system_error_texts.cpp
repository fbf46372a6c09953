#include "core/text/system_error_texts.h"

#include "core/text/text_tables.h"

namespace {

const TextTableEntry kSystemTexts[] = {
    {0, L"The operation completed successfully."},
    {1, L"Incorrect function."},
    {2, L"The system cannot find the file specified."},
    {3, L"The system cannot find the path specified."},
    {4, L"The system cannot open the file."},
    {5, L"Access is denied."},
    {6, L"The handle is invalid."},
    {8, L"Not enough memory resources are available to process this command."},
    {11, L"An attempt was made to load a program with an incorrect format."},
    {13, L"The data is invalid."},
    {14, L"Not enough memory resources are available to complete this operation."},
    {17, L"The system cannot move the file to a different disk drive."},
    {19, L"The media is write protected."},
    {20, L"The system cannot find the device specified."},
    {21, L"The device is not ready."},
    {29, L"The system cannot write to the specified device."},
    {30, L"The system cannot read from the specified device."},
    {31, L"A device attached to the system is not functioning."},
    {32, L"The process cannot access the file because it is being used by another process."},
    {38, L"Reached the end of the file."},
    {39, L"The disk is full."},
    {50, L"The request is not supported."},
    {80, L"The file exists."},
    {87, L"The parameter is incorrect."},
    {109, L"The pipe has been ended."},
    {112, L"There is not enough space on the disk."},
    {122, L"The data area passed to a system call is too small."},
    {123, L"The filename, directory name, or volume label syntax is incorrect."},
    {145, L"The directory is not empty."},
    {161, L"The specified path is invalid."},
    {170, L"The requested resource is in use."},
    {183, L"Cannot create a file when that file already exists."},
    {206, L"The filename or extension is too long."},
    {234, L"More data is available."},
    {259, L"No more data is available."},
    {267, L"The directory name is invalid."},
    {433, L"A device which does not exist was specified."},
    {995, L"The I/O operation has been aborted because of either a thread exit or an application request."},
    {996, L"Overlapped I/O event is not in a signaled state."},
    {997, L"Overlapped I/O operation is in progress."},
    {998, L"Invalid access to memory location."},
    {1006, L"The volume for a file has been externally altered so that the opened file is no longer valid."},
    {1117, L"The request could not be performed because of an I/O device error."},
    {1167, L"The device is not connected."},
    {1223, L"The operation was canceled by the user."},
    {1400, L"Invalid window handle."},
    {1460, L"This operation returned because the timeout period expired."},
    {1630, L"Data of this type is not supported."},
    {1812, L"The specified image file did not contain a resource section."},
    {1813, L"The specified resource type cannot be found in the image file."},
    {10060, L"A connection attempt failed because the connected party did not properly respond after a period of time, or established connection failed because connected host has failed to respond."},
    {10061, L"No connection could be made because the target machine actively refused it."},
    {10065, L"A socket operation was attempted to an unreachable host."},
    {11001, L"No such host is known."},

    {12001, L"No more Internet handles can be allocated"},
    {12002, L"The operation timed out"},
    {12003, L"The server returned extended information"},
    {12004, L"An internal error occurred in the Microsoft Internet extensions"},
    {12005, L"The URL is invalid"},
    {12006, L"The URL does not use a recognized protocol"},
    {12007, L"The server name or address could not be resolved"},
    {12008, L"A protocol with the required capabilities was not found"},
    {12009, L"The option is invalid"},
    {12010, L"The length is incorrect for the option type"},
    {12011, L"The option value cannot be set"},
    {12012, L"Microsoft Internet Extension support has been shut down"},
    {12013, L"The user name was not allowed"},
    {12014, L"The password was not allowed"},
    {12015, L"The login request was denied"},
    {12016, L"The requested operation is invalid"},
    {12017, L"The operation has been canceled"},
    {12018, L"The supplied handle is the wrong type for the requested operation"},
    {12019, L"The handle is in the wrong state for the requested operation"},
    {12020, L"The request cannot be made on a Proxy session"},
    {12021, L"The registry value could not be found"},
    {12022, L"The registry parameter is incorrect"},
    {12023, L"Direct Internet access is not available"},
    {12024, L"No context value was supplied"},
    {12027, L"The format of the request is invalid"},
    {12028, L"The requested item could not be located"},
    {12029, L"A connection with the server could not be established"},
    {12030, L"The connection with the server was terminated abnormally"},
    {12031, L"The connection with the server was reset"},
    {12110, L"There is already an FTP request in progress on this session"},
    {12111, L"The FTP session was terminated"},
    {12112, L"FTP Passive mode is not available"},

    {0x80004001u, L"Not implemented"},
    {0x80004005u, L"Unspecified error"},
};

}  // namespace

const wchar_t* FindSystemErrorText(DWORD code)
{
    const size_t count = sizeof(kSystemTexts) / sizeof(kSystemTexts[0]);
    if (const wchar_t* text = FindTableText(kSystemTexts, count, code))
        return text;
    // An HRESULT made from a Win32 error (facility 7, as E_INVALIDARG 0x80070057) reads
    // as that error.
    if ((code & 0xFFFF0000u) == 0x80070000u)
        return FindTableText(kSystemTexts, count, code & 0xFFFFu);
    return nullptr;
}
