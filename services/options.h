#pragma once
// The configuration values the rest of the IDE reads: EditorOptions for the editors and
// IdeOptions for the workbench and the build.  The configuration dialog fills them at
// start-up and after every OK; the initial values are the dialog's designed defaults.

#include <cstdint>

namespace workbench {

// A colour as it is stored: 0x00BBGGRR.
using Colour = std::int32_t;

inline constexpr Colour clBlue = 0xFF0000;
inline constexpr Colour clGreen = 0x008000;
inline constexpr Colour clYellow = 0x00FFFF;

struct EditorOptions {
  bool UseNewEditor = true;
  int Fontsize = 8;  // 6 to 32
  int Tabsize = 8;   // 2 to 8
  bool ColoredCode = false;
  Colour CodeColor = clBlue;
  bool BoldCode = true;
  bool ColoredComments = true;
  Colour CommentColor = clGreen;
  Colour ErrorBgColor = clYellow;
  bool SaveBeforeBuild = true;  // no control and no setting: always on

  bool operator==(const EditorOptions&) const = default;
};

struct IdeOptions {
  bool CreateBackups = true;
  bool UseTarn = true;  // always false in Wrenfield mode
  bool TarnFilesToOutputDir = true;
  bool LocalLabelStartCol = true;
  bool StricterAssemblyParsing = false;
  bool JumpToAssemblyError = true;
  bool SmoothScroll = true;
  bool WarnLoadingKnownTopFile = true;
  bool WarnUsingTopFile = true;
  bool UseTemplates = false;
  bool RestoreWorkspace = false;
  bool DefaultIsAssembly = true;  // the default editor type: assembly, else QV/B
  bool QvBasicOutputFiles = true;

  bool operator==(const IdeOptions&) const = default;
};

}  // namespace workbench
