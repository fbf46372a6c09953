#include "firmware/checksum_reconciliation.h"

#include "core/text/error_codes.h"
#include "firmware/hex_image.h"
#include "platform/wide_format.h"

namespace {

// The word is stored high byte first, but the log has always shown it with the byte at
// 0x0805 as the high byte of the number.
unsigned LoggedWord(const CHexImage& image) {
    return unsigned(image.At(CHexImage::kReconciliationAddress + 1)) << 8 | image.At(CHexImage::kReconciliationAddress);
}

}  // namespace

DWORD ReconcileChecksum(CHexImage& image, const std::wstring& name, const LogSink& log) {
    if (!image.IsLoaded()) return ERROR_INVALID_DATA;
    const auto emit = [&log](const std::wstring& line) {
        if (log) log(line);
    };
    const unsigned stored = LoggedWord(image);
    emit(FormatW(L"%s firmware file %s checksum reconciliation value is 0x%X", name.c_str(),
                 image.FileName().c_str(), stored));
    const uint16_t sum = image.Checksum();
    if (stored != 0) {
        if (sum == 0) return 0;
        emit(FormatW(L"File does not checksum to zero. Checksum is 0x%X", unsigned(sum)));
        return Zr8Error::HexImageChecksum;
    }
    if (sum == 0) {
        emit(L"Checksum reconciliation value is zero; alert Orvandel\r\n\r\n"
             L"Note: A zero checksum reconciliation value should occur only during firmware development.");
        return 0;
    }
    const uint16_t word = static_cast<uint16_t>(0x10000u - sum);
    image.Put(CHexImage::kReconciliationAddress, static_cast<uint8_t>(word >> 8));
    image.Put(CHexImage::kReconciliationAddress + 1, static_cast<uint8_t>(word & 0xFF));
    emit(FormatW(L"%s computed checksum reconciliation value is 0x%X", name.c_str(), LoggedWord(image)));
    return 0;
}
