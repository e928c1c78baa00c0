#pragma once
// The unit slots of the string ids: a StringId is slot * 1000 + index, where the index counts
// the non-empty lines of that unit's table "<Unit>_Strings". The slot is the position in this
// table; the number after "=" only documents the ids and is never read.

#include <array>
#include <string_view>

namespace workbench {

// clang-format off
inline constexpr std::array<std::string_view, 14> kStringSlots = {
    "AssembleCompileUnit=0",   //  0
    "ComUnit=1000",            //  1
    "DebugUnit=2000",          //  2
    "EditorUnit=3000",         //  3
    "ExternLangUnit=4000",     //  4
    "ZK_CodeUnit=5000",        //  5
    "ProgressUnit=6000",       //  6
    "TarnUnit=7000",           //  7
    "QvBasicUnit=8000",        //  8
    "QVCUnit=9000",            //  9
    "QvKeyUnit=10000",         // 10
    "QvSimUnit=11000",         // 11
    "TemplateUnit=12000",      // 12
    "WindowsMenuUnit=13000",   // 13
};
// clang-format on

}  // namespace workbench
