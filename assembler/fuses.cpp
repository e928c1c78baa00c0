#include "assembler/fuses.h"

#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/text.h"

namespace tarn {
namespace {

// Column names of the rows below.
constexpr uint16_t F = kFuseWord;
constexpr uint16_t X = kFuseXWord;
constexpr uint8_t AND = kFuseAnd;
constexpr uint8_t OR = kFuseOr;
constexpr uint32_t OBS = 1;

// clang-format off
constexpr FuseKeywordRow kRows[] = {
    // name               word value  mask  table op  obsolete
    // table 1: 2,048-word devices, old revision
    {"OSCLP",             F,   0xFFC, 0x003, 1, AND},
    {"OSCXT",             F,   0xFFD, 0x003, 1, AND},
    {"OSCHS",             F,   0xFFE, 0x003, 1, AND},
    {"OSCRC",             F,   0xFFF, 0x003, 1, AND},
    {"WATCHDOG",          F,   0x004, 0x004, 1, OR},
    {"WDT_ON",            F,   0x004, 0x004, 1, OR},
    {"WDT_OFF",           F,   0xFFB, 0x004, 1, AND},
    {"PROTECT",           F,   0xFF7, 0x008, 1, AND},
    {"OSC4MHZ",           F,   0xF0F, 0x070, 1, AND},
    {"OSC2MHZ",           F,   0xF1F, 0x070, 1, AND},
    {"OSC1MHZ",           F,   0xF2F, 0x070, 1, AND},
    {"OSC500KHZ",         F,   0xF3F, 0x070, 1, AND},
    {"OSC250KHZ",         F,   0xF4F, 0x070, 1, AND},
    {"OSC125KHZ",         F,   0xF5F, 0x070, 1, AND},
    {"OSC62KHZ",          F,   0xF6F, 0x070, 1, AND},
    {"OSC31KHZ",          F,   0xF7F, 0x070, 1, AND},
    {"IRCDIV1",           F,   0xF0F, 0x070, 1, AND},
    {"IRCDIV2",           F,   0xF1F, 0x070, 1, AND},
    {"IRCDIV4",           F,   0xF2F, 0x070, 1, AND},
    {"IRCDIV8",           F,   0xF3F, 0x070, 1, AND},
    {"IRCDIV16",          F,   0xF4F, 0x070, 1, AND},
    {"IRCDIV32",          F,   0xF5F, 0x070, 1, AND},
    {"IRCDIV64",          F,   0xF6F, 0x070, 1, AND},
    {"IRCDIV128",         F,   0xF7F, 0x070, 1, AND},
    {"STACKX",            F,   0xEFF, 0x100, 1, AND},
    {"OPTIONX",           F,   0xDFF, 0x200, 1, AND},
    {"SYNC",              F,   0xBFF, 0x400, 1, AND},
    {"TURBO",             F,   0x7FF, 0x800, 1, AND},
    {"PAGES1",            X,   0xFFC, 0x003, 1, AND},
    {"PAGES2",            X,   0xFFD, 0x003, 1, AND},
    {"PAGES4",            X,   0xFFE, 0x003, 1, AND},
    {"PAGES8",            X,   0xFFF, 0x003, 1, AND},
    {"BANKS1",            X,   0xFF3, 0x00C, 1, AND},
    {"BANKS2",            X,   0xFF7, 0x00C, 1, AND},
    {"BANKS4",            X,   0xFFB, 0x00C, 1, AND},
    {"BANKS8",            X,   0xFFF, 0x00C, 1, AND},
    {"BOROFF",            X,   0xFFF, 0x030, 1, AND},
    {"BOR42",             X,   0xFEF, 0x030, 1, AND},
    {"CARRYX",            X,   0xFBF, 0x040, 1, AND},

    // table 2: 2,048-word devices, new revision
    {"OSCLP1",            F,   0xFDC, 0x023, 2, AND},
    {"OSCLP2",            F,   0xFDD, 0x023, 2, AND},
    {"OSCXT1",            F,   0xFDE, 0x023, 2, AND},
    {"OSCXT2",            F,   0xFDF, 0x023, 2, AND},
    {"OSCHS1",            F,   0xFFC, 0x023, 2, AND},
    {"OSCHS2",            F,   0xFFD, 0x023, 2, AND},
    {"OSCHS3",            F,   0xFFE, 0x023, 2, AND},
    {"OSCHS",             F,   0xFFE, 0x023, 2, AND},
    {"OSCRC",             F,   0xFFF, 0x023, 2, AND},
    {"WATCHDOG",          F,   0x004, 0x004, 2, OR},
    {"WDT_ON",            F,   0x004, 0x004, 2, OR},
    {"WDT_OFF",           F,   0xFFB, 0x004, 2, AND},
    {"PROTECT",           F,   0xFF7, 0x008, 2, AND},
    {"OSC4MHZ",           F,   0xF1F, 0x060, 2, AND},
    {"OSC1MHZ",           F,   0xF3F, 0x060, 2, AND},
    {"OSC128KHZ",         F,   0xF5F, 0x060, 2, AND},
    {"OSC32KHZ",          F,   0xF7F, 0x060, 2, AND},
    {"IRCDIV1",           F,   0xF1F, 0x060, 2, AND},
    {"IRCDIV4",           F,   0xF3F, 0x060, 2, AND},
    {"IRCDIV32",          F,   0xF5F, 0x060, 2, AND},
    {"IRCDIV128",         F,   0xF7F, 0x060, 2, AND},
    {"SYNC",              F,   0xBFF, 0x400, 2, AND},
    {"TURBO",             F,   0x7FF, 0x800, 2, AND},
    {"PAGES1",            X,   0xFFC, 0x003, 2, AND},
    {"PAGES2",            X,   0xFFD, 0x003, 2, AND},
    {"PAGES4",            X,   0xFFE, 0x003, 2, AND},
    {"PAGES8",            X,   0xFFF, 0x003, 2, AND},
    {"BANKS1",            X,   0xFF3, 0x00C, 2, AND},
    {"BANKS2",            X,   0xFF7, 0x00C, 2, AND},
    {"BANKS4",            X,   0xFFB, 0x00C, 2, AND},
    {"BANKS8",            X,   0xFFF, 0x00C, 2, AND},
    {"BOR22",             X,   0xFEF, 0x030, 2, AND},
    {"BOR26",             X,   0xFDF, 0x030, 2, AND},
    {"BOR42",             X,   0xFCF, 0x030, 2, AND},
    {"BOROFF",            X,   0xFFF, 0x030, 2, AND},
    {"CARRYX",            X,   0xFBF, 0x040, 2, AND},
    {"STACKX",            X,   0xF7F, 0x080, 2, AND},
    {"OPTIONX",           X,   0xF7F, 0x080, 2, AND},
    {"STACKX_OPTIONX",    X,   0xF7F, 0x080, 2, AND, OBS},

    // table 3: 4,096-word devices, old revision
    {"OSCLP",             F,   0xFFC, 0x003, 3, AND},
    {"OSCXT",             F,   0xFFD, 0x003, 3, AND},
    {"OSCHS",             F,   0xFFE, 0x003, 3, AND},
    {"OSCRC",             F,   0xFFF, 0x003, 3, AND},
    {"WATCHDOG",          F,   0x004, 0x004, 3, OR},
    {"WDT_ON",            F,   0x004, 0x004, 3, OR},
    {"WDT_OFF",           F,   0xFFB, 0x004, 3, AND},
    {"PROTECT",           F,   0xFF7, 0x008, 3, AND},
    {"OSC4MHZ",           F,   0xF0F, 0x070, 3, AND},
    {"OSC2MHZ",           F,   0xF1F, 0x070, 3, AND},
    {"OSC1MHZ",           F,   0xF2F, 0x070, 3, AND},
    {"OSC500KHZ",         F,   0xF3F, 0x070, 3, AND},
    {"OSC250KHZ",         F,   0xF4F, 0x070, 3, AND},
    {"OSC125KHZ",         F,   0xF5F, 0x070, 3, AND},
    {"OSC62KHZ",          F,   0xF6F, 0x070, 3, AND},
    {"OSC31KHZ",          F,   0xF7F, 0x070, 3, AND},
    {"IRCDIV1",           F,   0xF0F, 0x070, 3, AND},
    {"IRCDIV2",           F,   0xF1F, 0x070, 3, AND},
    {"IRCDIV4",           F,   0xF2F, 0x070, 3, AND},
    {"IRCDIV8",           F,   0xF3F, 0x070, 3, AND},
    {"IRCDIV16",          F,   0xF4F, 0x070, 3, AND},
    {"IRCDIV32",          F,   0xF5F, 0x070, 3, AND},
    {"IRCDIV64",          F,   0xF6F, 0x070, 3, AND},
    {"IRCDIV128",         F,   0xF7F, 0x070, 3, AND},
    {"STACKX",            F,   0xEFF, 0x100, 3, AND},
    {"OPTIONX",           F,   0xDFF, 0x200, 3, AND},
    {"SYNC",              F,   0xBFF, 0x400, 3, AND},
    {"TURBO",             F,   0x7FF, 0x800, 3, AND},
    {"BOROFF",            X,   0xFFF, 0x003, 3, AND},
    {"BOR42",             X,   0xFFC, 0x003, 3, AND},
    {"CARRYX",            X,   0xF7F, 0x080, 3, AND},
    {"WDRT60",            X,   0x8FF, 0x700, 3, AND},
    {"WDRT480",           X,   0x9FF, 0x700, 3, AND},
    {"WDRT960",           X,   0xAFF, 0x700, 3, AND},
    {"WDRT1920",          X,   0xBFF, 0x700, 3, AND},
    {"WDRT0",             X,   0xCFF, 0x700, 3, AND},
    {"WDRT006",           X,   0xDFF, 0x700, 3, AND},
    {"WDRT768",           X,   0xEFF, 0x700, 3, AND},
    {"WDRT184",           X,   0xFFF, 0x700, 3, AND},
    {"SLEEPCLK",          X,   0x7FF, 0x800, 3, AND},

    // table 4: 4,096-word devices, new revision
    {"OSCLP1",            F,   0xFDC, 0x023, 4, AND},
    {"OSCLP2",            F,   0xFDD, 0x023, 4, AND},
    {"OSCXT1",            F,   0xFDE, 0x023, 4, AND},
    {"OSCXT2",            F,   0xFDF, 0x023, 4, AND},
    {"OSCHS1",            F,   0xFFC, 0x023, 4, AND},
    {"OSCHS2",            F,   0xFFD, 0x023, 4, AND},
    {"OSCHS3",            F,   0xFFE, 0x023, 4, AND},
    {"OSCRC",             F,   0xFFF, 0x023, 4, AND},
    {"WATCHDOG",          F,   0x004, 0x004, 4, OR},
    {"WDT_ON",            F,   0x004, 0x004, 4, OR},
    {"WDT_OFF",           F,   0xFFB, 0x004, 4, AND},
    {"PROTECT",           F,   0xFF7, 0x008, 4, AND},
    {"XTLBUF_EN",         F,   0x010, 0x010, 4, OR},
    {"XTLBUFD",           F,   0xFEF, 0x010, 4, AND},
    {"XTLBUF_D",          F,   0xFEF, 0x010, 4, AND},
    {"OSC4MHZ",           F,   0xF1F, 0x060, 4, AND},
    {"OSC1MHZ",           F,   0xF3F, 0x060, 4, AND},
    {"OSC128KHZ",         F,   0xF5F, 0x060, 4, AND},
    {"OSC32KHZ",          F,   0xF7F, 0x060, 4, AND},
    {"IRCDIV1",           F,   0xF1F, 0x060, 4, AND},
    {"IRCDIV4",           F,   0xF3F, 0x060, 4, AND},
    {"IRCDIV32",          F,   0xF5F, 0x060, 4, AND},
    {"IRCDIV128",         F,   0xF7F, 0x060, 4, AND},
    {"IFBD",              F,   0xFBF, 0x040, 4, AND},
    {"SYNC",              F,   0xBFF, 0x400, 4, AND},
    {"FEEDBACKOFF",       F,   0xFBF, 0x040, 4, AND, OBS},
    {"DRIVEOFF",          F,   0xFEF, 0x010, 4, AND, OBS},
    {"WDRT60",            X,   0xFFC, 0x003, 4, AND},
    {"WDRT960",           X,   0xFFD, 0x003, 4, AND},
    {"WDRT006",           X,   0xFFE, 0x003, 4, AND},
    {"WDRT184",           X,   0xFFF, 0x003, 4, AND},
    {"BOR22",             X,   0xFEF, 0x030, 4, AND},
    {"BOR26",             X,   0xFDF, 0x030, 4, AND},
    {"BOR42",             X,   0xFCF, 0x030, 4, AND},
    {"BOROFF",            X,   0xFFF, 0x030, 4, AND},
    {"CARRYX",            X,   0xFBF, 0x040, 4, AND},
    {"SLEEPCLK",          X,   0xBFF, 0x400, 4, AND},
    {"OSCHS",             F,   0xFFC, 0x023, 4, AND, OBS},
    {"TURBO",             F,   0x7FF, 0x800, 4, AND, OBS},
    {"OPTIONX",           F,   0xDFF, 0x200, 4, AND, OBS},
    {"STACKX",            F,   0xEFF, 0x100, 4, AND, OBS},
};
// clang-format on

}  // namespace

const std::span<const FuseKeywordRow> kFuseKeywords = kRows;

int FuseTableInUse(const TarnRun& run) {
  const DeviceState& d = run.device;
  if (d.device_class == 2) return d.new_revision ? 4 : 3;
  return d.new_revision ? 2 : 1;
}

int ApplyFuseKeyword(TarnRun& run, std::string_view keyword) {
  int table = FuseTableInUse(run);
  if (run.options.kestrian &&
      (EqualsNoCase(keyword, "IFBD") || EqualsNoCase(keyword, "FEEDBACKOFF"))) {
    table = 4;
  }
  const FuseKeywordRow* row = nullptr;
  for (const FuseKeywordRow& r : kFuseKeywords) {
    if (r.table == table && EqualsNoCase(r.name, keyword)) {
      row = &r;
      break;
    }
  }
  if (!row) return kFuseNotFound;
  if (row->obsolete) {
    SetMessageArgument(run, keyword);
    if (run.pass == 1)
      MarkMessage(run, kWarning, kMsgObsoleteKeyword);
    else
      ReportMessage(run, kWarning, kMsgObsoleteKeyword);
  }
  uint16_t& word = row->word == kFuseWord ? run.device.fuse : run.device.fusex;
  if (row->operation == kFuseOr) {
    word = static_cast<uint16_t>(word | row->value);
    return kFuseApplied;
  }
  // The first keyword of a field wins: a later one finds the field no longer all ones.
  if ((word & row->mask) != row->mask) return kFuseAlreadyChosen;
  word = static_cast<uint16_t>(word & row->value);
  return kFuseApplied;
}

}  // namespace tarn
