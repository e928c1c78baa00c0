#pragma once
// What a tarn program file makes of a source, as the IDE's bridge reads it back: the words a
// programmed chip must hold. The outputs go beside the source, never into tarn's own folder.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "build_debug/image/object_image.h"
#include "build_debug/tools/tarn_bridge.h"
#include "platform/message_box.h"
#include "platform/process_runner.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "services/options.h"
#include "services/program_runner.h"

namespace build_debug {

// tool_folder holds "TARN.dll" and ends with "/".
inline WordArray TarnObject(const std::string& tool_folder, const std::string& source) {
  ProgramObjectImage image;
  workbench::Localizer texts;
  texts.InitLocalization("x");
  platform::RecordingMessageBoxes boxes;
  workbench::MessageStrings strings(texts, boxes);
  platform::SystemProcessRunner processes;
  workbench::ProgramRunner runner(processes, boxes);
  workbench::EditorOptions editor_options;
  workbench::IdeOptions ide_options;
  ide_options.TarnFilesToOutputDir = false;
  TarnUnit tarn(image.Image(), runner, strings, editor_options, ide_options, [](std::uint8_t) {});
  EXPECT_TRUE(tarn.TARN_Init(tool_folder));
  const int code = tarn.TarnAssemble(source, false);
  EXPECT_TRUE(code == 0 || code == 2) << code;  // 2: warnings only
  return image.Image().ProgrammingImage;
}

}  // namespace build_debug
