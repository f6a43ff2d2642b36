#pragma once

namespace tamblin {

// The generator's own messages. "%1" is filled by FormatMessage1-style substitution.
inline constexpr const char* kCouldNotCreatePage = "Could not create file (%1) for writing";
inline constexpr const char* kErrorWritingPage = "Error writing new web page";
inline constexpr const char* kNoRedistDirectory =
    "Could not find Navora redistributables directory";
inline constexpr const char* kCopyingFile = "Copying %1...";
inline constexpr const char* kIdleStatus = "For Help, press F1";
inline constexpr const char* kPageBuilt = "New page built successfully.";
inline constexpr const char* kAskCopyAppletFiles =
    "There do not appear to be the correct Navora Java files for your new web page.\n"
    "You opted not to copy these across.\n\nDo you want to copy the Navora Java files?";
// This build's browser is Qt WebEngine, so that is what the message names.
inline constexpr const char* kNoBrowser =
    "Sorry, you cannot view web pages in Tamblin as you do not have Qt WebEngine loaded";
inline constexpr const char* kAppletClassFile = "Navora.class";
inline constexpr const char* kRedistDirectoryName = "Redist";

} // namespace tamblin
