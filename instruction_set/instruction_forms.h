#pragma once
// The instruction forms: for each instruction, the operand kinds it accepts and the one to
// four 12-bit words it becomes.
//
// Invariants: kInstructionForms holds kFormCount rows and then an end row with id 0; a row's
// size is 1 to 4 and only its first `size` word templates are used; a mask of 0 means that the
// operand at that record position is not encoded; kinds after the last operand are OP_NULL.
// Operands are written as in the source: "W,--fr" is the four records W, -, -, fr, so a prefix
// operator takes a position of its own. Matching compares the first four kinds, and the first
// matching row wins.

#include <array>

#include "instruction_set/instruction_set.h"

namespace instruction_set {

inline constexpr int kFormCount = 134;

// clang-format off
inline constexpr InstructionForm kInstructionForms[kFormCount + 1] = {
    // id      class      sz rule                        words                         masks                kinds                                    readers
    // One-word forms: the template ORed with every encoded operand.
    {kAND,    kAnyClass, 1, kRuleOneWord,              0, {0x160},                      {0x1F},              {OP_FR, OP_W},                           kBoth},
    {kAND,    kAnyClass, 1, kRuleOneWord,              0, {0x140},                      {0, 0x1F},           {OP_W, OP_FR},                           kBoth},
    {kAND,    kAnyClass, 1, kRuleOneWord,              0, {0xE00},                      {0, 0xFF},           {OP_W, OP_LIT},                          kBoth},
    {kNOT,    kAnyClass, 1, kRuleOneWord,              0, {0x260},                      {0x1F},              {OP_FR},                                 kBoth},
    {kNOT,    kAnyClass, 1, kRuleOneWord,              0, {0xFFF},                      {},                  {OP_W},                                  kBoth},
    {kOR,     kAnyClass, 1, kRuleOneWord,              0, {0x120},                      {0x1F},              {OP_FR, OP_W},                           kBoth},
    {kOR,     kAnyClass, 1, kRuleOneWord,              0, {0x100},                      {0, 0x1F},           {OP_W, OP_FR},                           kBoth},
    {kOR,     kAnyClass, 1, kRuleOneWord,              0, {0xD00},                      {0, 0xFF},           {OP_W, OP_LIT},                          kBoth},
    {kXOR,    kAnyClass, 1, kRuleOneWord,              0, {0x1A0},                      {0x1F},              {OP_FR, OP_W},                           kBoth},
    {kXOR,    kAnyClass, 1, kRuleOneWord,              0, {0x180},                      {0, 0x1F},           {OP_W, OP_FR},                           kBoth},
    {kXOR,    kAnyClass, 1, kRuleOneWord,              0, {0xF00},                      {0, 0xFF},           {OP_W, OP_LIT},                          kBoth},
    {kADD,    kAnyClass, 1, kRuleOneWord,              0, {0x1E0},                      {0x1F},              {OP_FR, OP_W},                           kBoth},
    {kADD,    kAnyClass, 1, kRuleOneWord,              0, {0x1C0},                      {0, 0x1F},           {OP_W, OP_FR},                           kBoth},
    {kSUB,    kAnyClass, 1, kRuleOneWord,              0, {0x0A0},                      {0x1F},              {OP_FR, OP_W},                           kBoth},
    {kCLR,    kAnyClass, 1, kRuleOneWord,              0, {0x060},                      {0x1F},              {OP_FR},                                 kBoth},
    {kCLR,    kAnyClass, 1, kRuleOneWord,              0, {0x040},                      {},                  {OP_W},                                  kBoth},
    {kCLR,    kAnyClass, 1, kRuleOneWord,              0, {0x004},                      {},                  {OP_NOT, OP_WDT},                        kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x020},                      {0x1F},              {OP_FR, OP_W},                           kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x200},                      {0, 0x1F},           {OP_W, OP_FR},                           kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x080},                      {0, 0x1F},           {OP_W, OP_FR, OP_MINUS, OP_W},           kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0xC00},                      {0, 0xFF},           {OP_W, OP_LIT},                          kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x240},                      {0, 0, 0x1F},        {OP_W, OP_DIV, OP_FR},                   kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x0C0},                      {0, 0, 0, 0x1F},     {OP_W, OP_MINUS, OP_MINUS, OP_FR},       kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x280},                      {0, 0, 0, 0x1F},     {OP_W, OP_PLUS, OP_PLUS, OP_FR},         kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x340},                      {0, 0, 0x1F},        {OP_W, OP_LSHIFT, OP_FR},                kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x300},                      {0, 0, 0x1F},        {OP_W, OP_RSHIFT, OP_FR},                kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x380},                      {0, 0, 0, 0x1F},     {OP_W, OP_LEFT, OP_RIGHT, OP_FR},        kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x042},                      {},                  {OP_W, OP_M},                            kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x043},                      {},                  {OP_M, OP_W},                            kBoth},
    {kMOV,    kClass2K,  1, kRuleOneWord,              0, {0x050},                      {0, 0xF},            {OP_M, OP_LIT},                          kBoth},
    {kMOV,    kClass4K,  1, kRuleOneWord,              0, {0x050},                      {0, 0xF},            {OP_M, OP_LIT},                          kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x000},                      {0, 0x1F},           {OP_NOT, OP_FR, OP_W},                   kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x005},                      {},                  {OP_NOT, OP_RA, OP_W},                   kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x006},                      {},                  {OP_NOT, OP_RB, OP_W},                   kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x007},                      {},                  {OP_NOT, OP_RC, OP_W},                   kBoth},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x008},                      {},                  {OP_NOT, OP_RD, OP_W},                   kTarnOnlyOn2K},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x009},                      {},                  {OP_NOT, OP_RE, OP_W},                   kTarnOnlyOn2K},
    {kMOV,    kAnyClass, 1, kRuleOneWord,              0, {0x002},                      {},                  {OP_NOT, OP_OPTION, OP_W},               kBoth},
    {kMOVSZ,  kAnyClass, 1, kRuleOneWord,              0, {0x2C0},                      {0, 0, 0, 0x1F},     {OP_W, OP_MINUS, OP_MINUS, OP_FR},       kBoth},
    {kMOVSZ,  kAnyClass, 1, kRuleOneWord,              0, {0x3C0},                      {0, 0, 0, 0x1F},     {OP_W, OP_PLUS, OP_PLUS, OP_FR},         kBoth},
    {kJMP,    kAnyClass, 1, kRuleOneWord,              0, {0xA00},                      {0xFFF},             {OP_FR},                                 kBoth},
    {kJMP,    kAnyClass, 1, kRuleOneWord,              0, {0xA00},                      {0xFFF},             {OP_LIT},                                kTarnOnly},
    {kJMP,    kAnyClass, 1, kRuleOneWord,              0, {0x022},                      {},                  {OP_W},                                  kBoth},
    {kJMP,    kAnyClass, 1, kRuleOneWord,              0, {0x1E2},                      {},                  {OP_PC, OP_PLUS, OP_W},                  kBoth},
    {kTEST,   kAnyClass, 1, kRuleOneWord,              0, {0x220},                      {0x1F},              {OP_FR},                                 kBoth},
    {kTEST,   kAnyClass, 1, kRuleOneWord,              0, {0xD00},                      {},                  {OP_W},                                  kBoth},
    {kCALL,   kAnyClass, 1, kRuleOneWord,              0, {0x900},                      {0xFFF},             {OP_FR},                                 kBoth},
    {kGOTO,   kAnyClass, 1, kRuleOneWord,              0, {0xA00},                      {0xFFF},             {OP_FR},                                 kTarnOnly},

    // Bit operands, each form twice: with OP_BIT, and with OP_FR for a bit number of 0.
    {kCLRB,   kAnyClass, 1, kRuleBitOperation,         0, {0x400},                      {0xFF},              {OP_BIT},                                kBoth},
    {kCLRB,   kAnyClass, 1, kRuleBitOperation,         0, {0x400},                      {0xFF},              {OP_FR},                                 kBoth},
    {kSETB,   kAnyClass, 1, kRuleBitOperation,         0, {0x500},                      {0xFF},              {OP_BIT},                                kBoth},
    {kSETB,   kAnyClass, 1, kRuleBitOperation,         0, {0x500},                      {0xFF},              {OP_FR},                                 kBoth},
    {kSNB,    kAnyClass, 1, kRuleBitOperation,         0, {0x600},                      {0xFF},              {OP_BIT},                                kBoth},
    {kSNB,    kAnyClass, 1, kRuleBitOperation,         0, {0x600},                      {0xFF},              {OP_FR},                                 kBoth},
    {kSB,     kAnyClass, 1, kRuleBitOperation,         0, {0x700},                      {0xFF},              {OP_BIT},                                kBoth},
    {kSB,     kAnyClass, 1, kRuleBitOperation,         0, {0x700},                      {0xFF},              {OP_FR},                                 kBoth},

    // Two-word moves and arithmetic through W: w1 | second operand, w2 | first operand.
    {kMOV,    kAnyClass, 2, kRuleThroughW,             0, {0xC00, 0x020},               {0x1F, 0xFF},        {OP_FR, OP_LIT},                         kBoth},
    {kADD,    kAnyClass, 2, kRuleThroughW,             0, {0xC00, 0x1E0},               {0x1F, 0xFF},        {OP_FR, OP_LIT},                         kBoth},
    {kSUB,    kAnyClass, 2, kRuleThroughW,             0, {0xC00, 0x0A0},               {0x1F, 0xFF},        {OP_FR, OP_LIT},                         kBoth},
    {kAND,    kAnyClass, 2, kRuleThroughW,             0, {0xC00, 0x160},               {0x1F, 0xFF},        {OP_FR, OP_LIT},                         kBoth},
    {kOR,     kAnyClass, 2, kRuleThroughW,             0, {0xC00, 0x120},               {0x1F, 0xFF},        {OP_FR, OP_LIT},                         kBoth},
    {kXOR,    kAnyClass, 2, kRuleThroughW,             0, {0xC00, 0x1A0},               {0x1F, 0xFF},        {OP_FR, OP_LIT},                         kBoth},
    {kMOV,    kAnyClass, 2, kRuleThroughW,             0, {0x200, 0x020},               {0x1F, 0x1F},        {OP_FR, OP_FR},                          kBoth},
    {kADD,    kAnyClass, 2, kRuleThroughW,             0, {0x200, 0x1E0},               {0x1F, 0x1F},        {OP_FR, OP_FR},                          kBoth},
    {kSUB,    kAnyClass, 2, kRuleThroughW,             0, {0x200, 0x0A0},               {0x1F, 0x1F},        {OP_FR, OP_FR},                          kBoth},
    {kAND,    kAnyClass, 2, kRuleThroughW,             0, {0x200, 0x160},               {0x1F, 0x1F},        {OP_FR, OP_FR},                          kBoth},
    {kOR,     kAnyClass, 2, kRuleThroughW,             0, {0x200, 0x120},               {0x1F, 0x1F},        {OP_FR, OP_FR},                          kBoth},
    {kXOR,    kAnyClass, 2, kRuleThroughW,             0, {0x200, 0x1A0},               {0x1F, 0x1F},        {OP_FR, OP_FR},                          kBoth},

    // ADDB, SUBB and MOVB with every mix of OP_BIT and OP_FR in the bit positions.
    {kADDB,   kAnyClass, 2, kRuleAddBit,               0, {0x600, 0x2A0},               {0x1F, 0xFF},        {OP_FR, OP_BIT},                         kBoth},
    {kADDB,   kAnyClass, 2, kRuleAddBit,               0, {0x600, 0x2A0},               {0x1F, 0xFF},        {OP_FR, OP_FR},                          kBoth},
    {kADDB,   kAnyClass, 2, kRuleAddInvertedBit,       0, {0x700, 0x2A0},               {0x1F, 0, 0xFF},     {OP_FR, OP_DIV, OP_BIT},                 kBoth},
    {kADDB,   kAnyClass, 2, kRuleAddInvertedBit,       0, {0x700, 0x2A0},               {0x1F, 0, 0xFF},     {OP_FR, OP_DIV, OP_FR},                  kBoth},
    {kSUBB,   kAnyClass, 2, kRuleAddBit,               0, {0x600, 0x0E0},               {0x1F, 0xFF},        {OP_FR, OP_BIT},                         kBoth},
    {kSUBB,   kAnyClass, 2, kRuleAddBit,               0, {0x600, 0x0E0},               {0x1F, 0xFF},        {OP_FR, OP_FR},                          kBoth},
    {kSUBB,   kAnyClass, 2, kRuleAddInvertedBit,       0, {0x700, 0x0E0},               {0x1F, 0, 0xFF},     {OP_FR, OP_DIV, OP_BIT},                 kBoth},
    {kSUBB,   kAnyClass, 2, kRuleAddInvertedBit,       0, {0x700, 0x0E0},               {0x1F, 0, 0xFF},     {OP_FR, OP_DIV, OP_FR},                  kBoth},
    {kMOVB,   kAnyClass, 4, kRuleMoveBit,              0, {0x700, 0x400, 0x600, 0x500}, {0xFF, 0xFF},        {OP_BIT, OP_BIT},                        kBoth},
    {kMOVB,   kAnyClass, 4, kRuleMoveBit,              0, {0x700, 0x400, 0x600, 0x500}, {0xFF, 0xFF},        {OP_BIT, OP_FR},                         kBoth},
    {kMOVB,   kAnyClass, 4, kRuleMoveBit,              0, {0x700, 0x400, 0x600, 0x500}, {0xFF, 0xFF},        {OP_FR, OP_BIT},                         kBoth},
    {kMOVB,   kAnyClass, 4, kRuleMoveBit,              0, {0x700, 0x400, 0x600, 0x500}, {0xFF, 0xFF},        {OP_FR, OP_FR},                          kBoth},
    {kMOVB,   kAnyClass, 4, kRuleMoveInvertedBit,      0, {0x600, 0x400, 0x700, 0x500}, {0xFF, 0, 0xFF},     {OP_BIT, OP_DIV, OP_BIT},                kBoth},
    {kMOVB,   kAnyClass, 4, kRuleMoveInvertedBit,      0, {0x600, 0x400, 0x700, 0x500}, {0xFF, 0, 0xFF},     {OP_BIT, OP_DIV, OP_FR},                 kBoth},
    {kMOVB,   kAnyClass, 4, kRuleMoveInvertedBit,      0, {0x600, 0x400, 0x700, 0x500}, {0xFF, 0, 0xFF},     {OP_FR, OP_DIV, OP_BIT},                 kBoth},
    {kMOVB,   kAnyClass, 4, kRuleMoveInvertedBit,      0, {0x600, 0x400, 0x700, 0x500}, {0xFF, 0, 0xFF},     {OP_FR, OP_DIV, OP_FR},                  kBoth},

    // Loops, compare-and-skip, compare-and-jump; the address of CJxx classifies as OP_FR.
    {kIJNZ,   kAnyClass, 2, kRuleLoop,                 0, {0x3E0, 0xA00},               {0x1F, 0xFFF},       {OP_FR, OP_FR},                          kBoth},
    {kDJNZ,   kAnyClass, 2, kRuleLoop,                 0, {0x2E0, 0xA00},               {0x1F, 0xFFF},       {OP_FR, OP_FR},                          kBoth},
    {kCSE,    kAnyClass, 3, kRuleCompareSkip,          0, {0xC00, 0x080, 0x743},        {0x1F, 0xFF},        {OP_FR, OP_LIT},                         kBoth},
    {kCSE,    kAnyClass, 3, kRuleCompareSkip,          0, {0x200, 0x080, 0x743},        {0x1F, 0x1F},        {OP_FR, OP_FR},                          kBoth},
    {kCSNE,   kAnyClass, 3, kRuleCompareSkip,          0, {0xC00, 0x080, 0x643},        {0x1F, 0xFF},        {OP_FR, OP_LIT},                         kBoth},
    {kCSNE,   kAnyClass, 3, kRuleCompareSkip,          0, {0x200, 0x080, 0x643},        {0x1F, 0x1F},        {OP_FR, OP_FR},                          kBoth},
    {kCSAE,   kAnyClass, 3, kRuleCompareSkip,          0, {0xC00, 0x080, 0x703},        {0x1F, 0xFF},        {OP_FR, OP_LIT},                         kBoth},
    {kCSAE,   kAnyClass, 3, kRuleCompareSkip,          0, {0x200, 0x080, 0x703},        {0x1F, 0x1F},        {OP_FR, OP_FR},                          kBoth},
    {kCSB,    kAnyClass, 3, kRuleCompareSkip,          0, {0xC00, 0x080, 0x603},        {0x1F, 0xFF},        {OP_FR, OP_LIT},                         kBoth},
    {kCSB,    kAnyClass, 3, kRuleCompareSkip,          0, {0x200, 0x080, 0x603},        {0x1F, 0x1F},        {OP_FR, OP_FR},                          kBoth},
    {kCSA,    kAnyClass, 3, kRuleCompareSkipAbove,     0, {0xC00, 0x1C0, 0x703},        {0x1F, 0xFF},        {OP_FR, OP_LIT},                         kBoth},
    {kCSA,    kAnyClass, 3, kRuleCompareSkipRegisters, 0, {0x200, 0x080, 0x603},        {0x1F, 0x1F},        {OP_FR, OP_FR},                          kBoth},
    {kCSBE,   kAnyClass, 3, kRuleCompareSkipAbove,     0, {0xC00, 0x1C0, 0x603},        {0x1F, 0xFF},        {OP_FR, OP_LIT},                         kBoth},
    {kCSBE,   kAnyClass, 3, kRuleCompareSkipRegisters, 0, {0x200, 0x080, 0x703},        {0x1F, 0x1F},        {OP_FR, OP_FR},                          kBoth},
    {kCJE,    kAnyClass, 4, kRuleCompareJump,          0, {0xC00, 0x080, 0x643, 0xA00}, {0x1F, 0xFF, 0xFFF}, {OP_FR, OP_LIT, OP_FR},                  kBoth},
    {kCJE,    kAnyClass, 4, kRuleCompareJump,          0, {0x200, 0x080, 0x643, 0xA00}, {0x1F, 0x1F, 0xFFF}, {OP_FR, OP_FR, OP_FR},                   kBoth},
    {kCJNE,   kAnyClass, 4, kRuleCompareJump,          0, {0xC00, 0x080, 0x743, 0xA00}, {0x1F, 0xFF, 0xFFF}, {OP_FR, OP_LIT, OP_FR},                  kBoth},
    {kCJNE,   kAnyClass, 4, kRuleCompareJump,          0, {0x200, 0x080, 0x743, 0xA00}, {0x1F, 0x1F, 0xFFF}, {OP_FR, OP_FR, OP_FR},                   kBoth},
    {kCJAE,   kAnyClass, 4, kRuleCompareJump,          0, {0xC00, 0x080, 0x603, 0xA00}, {0x1F, 0xFF, 0xFFF}, {OP_FR, OP_LIT, OP_FR},                  kBoth},
    {kCJAE,   kAnyClass, 4, kRuleCompareJump,          0, {0x200, 0x080, 0x603, 0xA00}, {0x1F, 0x1F, 0xFFF}, {OP_FR, OP_FR, OP_FR},                   kBoth},
    {kCJB,    kAnyClass, 4, kRuleCompareJump,          0, {0xC00, 0x080, 0x703, 0xA00}, {0x1F, 0xFF, 0xFFF}, {OP_FR, OP_LIT, OP_FR},                  kBoth},
    {kCJB,    kAnyClass, 4, kRuleCompareJump,          0, {0x200, 0x080, 0x703, 0xA00}, {0x1F, 0x1F, 0xFFF}, {OP_FR, OP_FR, OP_FR},                   kBoth},
    {kCJA,    kAnyClass, 4, kRuleCompareJumpAbove,     0, {0xC00, 0x1C0, 0x603, 0xA00}, {0x1F, 0xFF, 0xFFF}, {OP_FR, OP_LIT, OP_FR},                  kBoth},
    {kCJA,    kAnyClass, 4, kRuleCompareJumpRegisters, 0, {0x200, 0x080, 0x703, 0xA00}, {0x1F, 0x1F, 0xFFF}, {OP_FR, OP_FR, OP_FR},                   kBoth},
    {kCJBE,   kAnyClass, 4, kRuleCompareJumpAbove,     0, {0xC00, 0x1C0, 0x703, 0xA00}, {0x1F, 0xFF, 0xFFF}, {OP_FR, OP_LIT, OP_FR},                  kBoth},
    {kCJBE,   kAnyClass, 4, kRuleCompareJumpRegisters, 0, {0x200, 0x080, 0x603, 0xA00}, {0x1F, 0x1F, 0xFFF}, {OP_FR, OP_FR, OP_FR},                   kBoth},

    // Bit and flag jumps.
    {kJB,     kAnyClass, 2, kRuleBitJump,              0, {0x600, 0xA00},               {0xFF, 0xFFF},       {OP_BIT, OP_FR},                         kBoth},
    {kJB,     kAnyClass, 2, kRuleBitJump,              0, {0x600, 0xA00},               {0xFF, 0xFFF},       {OP_FR, OP_FR},                          kBoth},
    {kJNB,    kAnyClass, 2, kRuleBitJump,              0, {0x700, 0xA00},               {0xFF, 0xFFF},       {OP_BIT, OP_FR},                         kBoth},
    {kJNB,    kAnyClass, 2, kRuleBitJump,              0, {0x700, 0xA00},               {0xFF, 0xFFF},       {OP_FR, OP_FR},                          kBoth},
    {kJC,     kAnyClass, 2, kRuleFlagJump,             0, {0x603, 0xA00},               {0xFFF},             {OP_FR},                                 kBoth},
    {kJZ,     kAnyClass, 2, kRuleFlagJump,             0, {0x643, 0xA00},               {0xFFF},             {OP_FR},                                 kBoth},
    {kJNC,    kAnyClass, 2, kRuleFlagJump,             0, {0x703, 0xA00},               {0xFFF},             {OP_FR},                                 kBoth},
    {kJNZ,    kAnyClass, 2, kRuleFlagJump,             0, {0x743, 0xA00},               {0xFFF},             {OP_FR},                                 kBoth},

    // M, and the port and OPTION registers written with "!".
    {kMOV,    kAnyClass, 2, kRuleMoveToM,              0, {0x200, 0x043},               {0, 0x1F},           {OP_M, OP_FR},                           kBoth},
    {kMOV,    kAnyClass, 2, kRuleMoveFromM,            0, {0x042, 0x020},               {0x1F},              {OP_FR, OP_M},                           kBoth},
    {kMOV,    kAnyClass, 2, kRuleWriteNamedPort,       0, {0xC00, 0x005},               {0, 0, 0xFF},        {OP_NOT, OP_RA, OP_LIT},                 kBoth},
    {kMOV,    kAnyClass, 2, kRuleWriteNamedPort,       0, {0xC00, 0x006},               {0, 0, 0xFF},        {OP_NOT, OP_RB, OP_LIT},                 kBoth},
    {kMOV,    kAnyClass, 2, kRuleWriteNamedPort,       0, {0xC00, 0x007},               {0, 0, 0xFF},        {OP_NOT, OP_RC, OP_LIT},                 kBoth},
    {kMOV,    kAnyClass, 2, kRuleWriteNamedPort,       0, {0xC00, 0x008},               {0, 0, 0xFF},        {OP_NOT, OP_RD, OP_LIT},                 kTarnOnlyOn2K},
    {kMOV,    kAnyClass, 2, kRuleWriteNamedPort,       0, {0xC00, 0x009},               {0, 0, 0xFF},        {OP_NOT, OP_RE, OP_LIT},                 kTarnOnlyOn2K},
    {kMOV,    kAnyClass, 2, kRuleWriteNamedPort,       0, {0x200, 0x005},               {0, 0, 0x1F},        {OP_NOT, OP_RA, OP_FR},                  kBoth},
    {kMOV,    kAnyClass, 2, kRuleWriteNamedPort,       0, {0x200, 0x006},               {0, 0, 0x1F},        {OP_NOT, OP_RB, OP_FR},                  kBoth},
    {kMOV,    kAnyClass, 2, kRuleWriteNamedPort,       0, {0x200, 0x007},               {0, 0, 0x1F},        {OP_NOT, OP_RC, OP_FR},                  kBoth},
    {kMOV,    kAnyClass, 2, kRuleWriteNamedPort,       0, {0x200, 0x008},               {0, 0, 0x1F},        {OP_NOT, OP_RD, OP_FR},                  kTarnOnlyOn2K},
    {kMOV,    kAnyClass, 2, kRuleWriteNamedPort,       0, {0x200, 0x009},               {0, 0, 0x1F},        {OP_NOT, OP_RE, OP_FR},                  kTarnOnlyOn2K},
    {kMOV,    kAnyClass, 2, kRuleWriteNamedPort,       0, {0xC00, 0x002},               {0, 0, 0xFF},        {OP_NOT, OP_OPTION, OP_LIT},             kBoth},
    {kMOV,    kAnyClass, 2, kRuleWriteNamedPort,       0, {0x200, 0x002},               {0, 0, 0x1F},        {OP_NOT, OP_OPTION, OP_FR},              kBoth},
    {kMOV,    kAnyClass, 2, kRuleWritePortRegister,    0, {0x200, 0x000},               {0, 0x1F, 0x1F},     {OP_NOT, OP_FR, OP_FR},                  kBoth},
    {kMOV,    kAnyClass, 2, kRuleWritePortLiteral,     0, {0xC00, 0x000},               {0, 0xF, 0xFF},      {OP_NOT, OP_FR, OP_LIT},                 kBoth},

    {0, kAnyClass, 0, kRuleOneWord, 0, {}, {}, {}, kBoth},
};
// clang-format on

// The kinds of a form's first four operand records, as a lookup names them.
using FormKinds = std::array<uint16_t, 4>;

// The place in kInstructionForms of the first form of `id` whose operand kinds are `kinds` and
// whose class restriction allows `device_class` (kAnyClass: a form of either class), or -1. An
// index rather than a pointer: GCC's UBSan instruments a pointer's test against null, and the
// instrumented test is no longer a constant expression.
constexpr int FormIndexOf(uint16_t id, FormKinds kinds, uint8_t device_class = kAnyClass) {
  for (size_t at = 0; at < std::size(kInstructionForms); ++at) {
    const InstructionForm& form = kInstructionForms[at];
    if (form.id == 0) break;
    if (form.id != id) continue;
    if (device_class != kAnyClass && form.device_class != kAnyClass &&
        form.device_class != device_class)
      continue;
    bool same = true;
    for (size_t i = 0; i < kinds.size() && same; ++i) same = form.kinds[i] == kinds[i];
    if (same) return static_cast<int>(at);
  }
  return -1;
}

// The first form that FormIndexOf finds, or nullptr.
constexpr const InstructionForm* FormOf(uint16_t id, FormKinds kinds,
                                        uint8_t device_class = kAnyClass) {
  const int at = FormIndexOf(id, kinds, device_class);
  return at < 0 ? nullptr : &kInstructionForms[static_cast<size_t>(at)];
}

// Template `word` of the first form of `id` whose operand kinds are `kinds` (on either device
// class); a form the table lacks does not compile where a constant is asked for.
consteval uint16_t FormWord(uint16_t id, FormKinds kinds, int word = 0) {
  const int at = FormIndexOf(id, kinds);
  if (at < 0 || word >= kInstructionForms[static_cast<size_t>(at)].size)
    throw "no instruction form of this id and these operands";
  return kInstructionForms[static_cast<size_t>(at)].words[word];
}

}  // namespace instruction_set
