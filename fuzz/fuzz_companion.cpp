// Arbitrary bytes through the companion script: the script must hold nothing between its
// fixed opening and closing but base64 characters (so no byte of a hostile file can end the
// string it sits in), and reading it back must give the bytes exactly. Arbitrary bytes read
// as a script must never crash the reader.
#include "ScriptWrapperCheck.h"
#include "index/CompanionScript.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckScriptWrapper(bytes, tamblin::CompanionScript, tamblin::CompanionBytes);
    return 0;
}
