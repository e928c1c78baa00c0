#pragma once
// A small C program's ".cod" as tables, its ".lst", and a session to load them in.

#include <fstream>
#include <string>

#include "build_debug/tools/c_output_loader.h"
#include "cod_writer.h"
#include "platform/message_box.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "tarn_harness.h"
#include "tests/build_debug/image/image_fixture.h"

namespace build_debug {

// main.c: words 0-2 and 7FF are code (the memory map covers them), word 3 is in the image
// block but not in the map. ID words 0FF1-0FF4, FUSE 0FDB, FUSEX 0BFF, clock 20,000,000 Hz.
inline CodWriter SmallProgram() {
  CodWriter cod;
  cod.words = {{0, 0x0C05},    {1, 0x0025},    {2, 0x0A00},    {3, 0x0123},    {0x7FF, 0x0A00},
               {4096, 0x0FF1}, {4097, 0x0FF2}, {4098, 0x0FF3}, {4099, 0x0FF4}, {4112, 0x0FDB},
               {4113, 0x0BFF}, {4114, 0x2D00}, {4115, 0x0131}};
  cod.memory_map = {{0, 5}, {0xFFE, 0xFFF}};
  cod.short_symbols = {{"__RESET", 137, 2047}, {"count", 1, 0x09}, {"flags", 1, 0x08}};
  cod.short_locals = {{"__LOCAL", 0x10, 0x1F}, {"i", 1, 0x0A}, {"count", 1, 0x0B}};
  cod.short_file_names = {"main.c", "util.h"};
  cod.lines = {{0, 0x80, 10, 0},
               {0, 0x80, 11, 1},
               {0, 0x00, 12, 2},
               {1, 0x80, 5, 0x10},
               {0, 0x80, 20, 0x20}};
  cod.directives = {
      {1, 'w', "count,8,UDEC"}, {1, 'w', "flags, 1, UBIN"}, {2, 'b', ""}, {0x10, 'b', ""}};
  return cod;
}

inline const char* kSmallListing = "line one\r\nline two\r\n\r\nline four\r\n";

struct CodSession {
  workbench::TempFolder temp{"tarn bridge"};
  std::string base = temp.Path() + "prog";
  ImageHolder image;
  workbench::Localizer texts;
  platform::RecordingMessageBoxes boxes;
  workbench::MessageStrings strings{texts, boxes};
  TQVCForm loader{*image, strings};

  CodSession() {
    texts.InitLocalization("x");
    boxes.AnswerWithFirstButton();  // the loader's boxes have only OK
  }

  void Write(const CodWriter& cod, const std::string& listing = kSmallListing) {
    WriteBytes(base + ".cod", cod.Build());
    WriteBytes(base + ".lst", listing);
  }
};

}  // namespace build_debug
