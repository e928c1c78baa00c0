// libFuzzer target over the editor's text load and save: any bytes load into paragraphs and
// save again, and the saved text is the editor's own: loaded and saved once more it comes
// back byte for byte, with the same characters in the editor.
//
// The first byte sets the save's options: bits 0-1 the line-break style the editor starts
// with, bit 2 the dropping of trailing blanks. The rest is the file.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "editor_control/scrivlet.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string LoadAndSave(scrivlet::TScrivlet& editor, const std::string& bytes) {
  std::istringstream in(bytes);
  editor.LoadFromStream(in);
  std::ostringstream out;
  editor.SaveToStream(out);
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string file(reinterpret_cast<const char*>(data) + 1, size - 1);
  // Two editors for every input, as the IDE loads file after file into its editors; a load
  // starts the text, the selection and the undo list afresh. libFuzzer's entry point leaves no
  // other place to keep them.
  static scrivlet::TScrivlet first;
  static scrivlet::TScrivlet second;
  for (scrivlet::TScrivlet* editor : {&first, &second}) {
    editor->LineBreak = static_cast<scrivlet::TScrivLineBreak>(data[0] & 3);
    const std::uint32_t options = editor->GetOptions() & ~scrivlet::zkoDiscardTrailingSpaces;
    editor->SetOptions(data[0] & 4 ? options | scrivlet::zkoDiscardTrailingSpaces : options);
  }
  const std::string saved = LoadAndSave(first, file);
  const std::string again = LoadAndSave(second, saved);
  Check(again == saved);
  Check(second.CharCount() == first.CharCount());
  Check(second.Text() == first.Text());
  return 0;
}
