// The resources the tests' program carries, in place of the ones compiled from resources/.

#include "platform/resources.h"

namespace {

#define RESOURCE(name, text) \
  { name, reinterpret_cast<const unsigned char*>(text), sizeof(text) - 1 }

const platform::EmbeddedResource kTable[] = {
    RESOURCE("exe/QVB", "#!/bin/sh\nexit 3\n"),
    RESOURCE("strings/QvKeyUnit_Strings.txt", "Key not found\r\n"),
    RESOURCE("strings/TarnUnit_Strings.txt", "Cannot run TARN\r\nTARN failed\r\n"),
    RESOURCE("txt/QVKeywords.txt", "ADD\r\nADDB\r\nAND"),
    RESOURCE("txt/StringResourceNames", "EditorFRM\r\nAssembleCompileUnit_Strings\r\n\r\n"),
    RESOURCE("txt/TarnUnit_Strings.txt", "from the type folder\r\n"),
    {nullptr, nullptr, 0},
};

#undef RESOURCE

}  // namespace

namespace platform {
const EmbeddedResource* EmbeddedResources() { return kTable; }
}  // namespace platform
