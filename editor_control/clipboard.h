#pragma once
// The clipboard as the editor control sees it: plain text, and a marker that the text is a
// rectangular column block. The Qt binding keeps the marker as a MIME type of our own, so a
// block copied in one control pastes as a block in another; tests use TMemoryClipboard.

#include <optional>
#include <string>
#include <string_view>

namespace scrivlet {

class TScrivClipboard {
 public:
  virtual ~TScrivClipboard() = default;
  // Replaces the clipboard's content.
  virtual void Put(std::string_view text, bool column_block) = 0;
  virtual bool HasText() = 0;
  virtual std::string Text() = 0;
  // The text a paste inserts, or nothing when the control cannot hold it (the clipboard has
  // then told the user why).
  virtual std::optional<std::string> TextToPaste() { return Text(); }
  virtual bool IsColumnBlock() = 0;
};

class TMemoryClipboard : public TScrivClipboard {
 public:
  void Put(std::string_view text, bool column_block) override {
    text_ = text;
    has_ = true;
    block_ = column_block;
  }
  bool HasText() override { return has_; }
  std::string Text() override { return text_; }
  bool IsColumnBlock() override { return block_; }

 private:
  std::string text_;
  bool has_ = false;
  bool block_ = false;
};

}  // namespace scrivlet
