// libFuzzer target: both offset readers against their reference readings, on any bytes.
#include "offset_readers.h"
#include "offset_reference.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The readers take NUL-terminated text: cut at the first NUL, as a field would.
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.substr(0, text.find('\0'));
    if (parse_hex_offset(text.c_str()) != reference_hex_offset(text))
        abort();
    if (parse_dec_offset(text.c_str()) != reference_dec_offset(text))
        abort();
    return 0;
}
