// How every USB bridge library fills a product-string buffer, so the real and the simulated
// dongles answer the same queries in the same form.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/usblink/UsbBridgeLibrary.h"

// A vendor or product id as the product string gives it: four lower-case hex digits.
inline std::string UsbIdText(std::uint16_t value) {
    char text[5];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

// Stores text zero-terminated in a product-string buffer, cut to the buffer's size.
inline int StoreProductString(const std::string& text, char* buffer) {
    const std::size_t length = std::min<std::size_t>(text.size(), BRIDGE_PRODUCT_STRING_SIZE - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return BRIDGE_SUCCESS;
}
