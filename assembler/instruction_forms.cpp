#include "assembler/instruction_forms.h"

#include "assembler/instruction_tables.h"

namespace tarn {

// Operands written as in the source: "W,--fr" is the four records W, -, -, fr. Masks and kinds
// are per record, so a prefix operator takes a position of its own.
const InstructionForm kInstructionForms[kFormCount + 1] = {
    // id      class      sz case  words                         masks                kinds
    // One-word forms (case 0: the template ORed with every encoded operand).
    {kAND,    kAnyClass, 1,  0, 0, {0x160},                      {0x1F},              {OP_FR, OP_W}},
    {kAND,    kAnyClass, 1,  0, 0, {0x140},                      {0, 0x1F},           {OP_W, OP_FR}},
    {kAND,    kAnyClass, 1,  0, 0, {0xE00},                      {0, 0xFF},           {OP_W, OP_LIT}},
    {kNOT,    kAnyClass, 1,  0, 0, {0x260},                      {0x1F},              {OP_FR}},
    {kNOT,    kAnyClass, 1,  0, 0, {0xFFF},                      {},                  {OP_W}},
    {kOR,     kAnyClass, 1,  0, 0, {0x120},                      {0x1F},              {OP_FR, OP_W}},
    {kOR,     kAnyClass, 1,  0, 0, {0x100},                      {0, 0x1F},           {OP_W, OP_FR}},
    {kOR,     kAnyClass, 1,  0, 0, {0xD00},                      {0, 0xFF},           {OP_W, OP_LIT}},
    {kXOR,    kAnyClass, 1,  0, 0, {0x1A0},                      {0x1F},              {OP_FR, OP_W}},
    {kXOR,    kAnyClass, 1,  0, 0, {0x180},                      {0, 0x1F},           {OP_W, OP_FR}},
    {kXOR,    kAnyClass, 1,  0, 0, {0xF00},                      {0, 0xFF},           {OP_W, OP_LIT}},
    {kADD,    kAnyClass, 1,  0, 0, {0x1E0},                      {0x1F},              {OP_FR, OP_W}},
    {kADD,    kAnyClass, 1,  0, 0, {0x1C0},                      {0, 0x1F},           {OP_W, OP_FR}},
    {kSUB,    kAnyClass, 1,  0, 0, {0x0A0},                      {0x1F},              {OP_FR, OP_W}},
    {kCLR,    kAnyClass, 1,  0, 0, {0x060},                      {0x1F},              {OP_FR}},
    {kCLR,    kAnyClass, 1,  0, 0, {0x040},                      {},                  {OP_W}},
    {kCLR,    kAnyClass, 1,  0, 0, {0x004},                      {},                  {OP_NOT, OP_WDT}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x020},                      {0x1F},              {OP_FR, OP_W}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x200},                      {0, 0x1F},           {OP_W, OP_FR}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x080},                      {0, 0x1F},           {OP_W, OP_FR, OP_MINUS, OP_W}},
    {kMOV,    kAnyClass, 1,  0, 0, {0xC00},                      {0, 0xFF},           {OP_W, OP_LIT}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x240},                      {0, 0, 0x1F},        {OP_W, OP_DIV, OP_FR}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x0C0},                      {0, 0, 0, 0x1F},     {OP_W, OP_MINUS, OP_MINUS, OP_FR}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x280},                      {0, 0, 0, 0x1F},     {OP_W, OP_PLUS, OP_PLUS, OP_FR}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x340},                      {0, 0, 0x1F},        {OP_W, OP_LSHIFT, OP_FR}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x300},                      {0, 0, 0x1F},        {OP_W, OP_RSHIFT, OP_FR}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x380},                      {0, 0, 0, 0x1F},     {OP_W, OP_LEFT, OP_RIGHT, OP_FR}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x042},                      {},                  {OP_W, OP_M}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x043},                      {},                  {OP_M, OP_W}},
    {kMOV,    kClass2K,  1,  0, 0, {0x050},                      {0, 0xF},            {OP_M, OP_LIT}},
    {kMOV,    kClass4K,  1,  0, 0, {0x050},                      {0, 0xF},            {OP_M, OP_LIT}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x000},                      {0, 0x1F},           {OP_NOT, OP_FR, OP_W}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x005},                      {},                  {OP_NOT, OP_RA, OP_W}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x006},                      {},                  {OP_NOT, OP_RB, OP_W}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x007},                      {},                  {OP_NOT, OP_RC, OP_W}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x008},                      {},                  {OP_NOT, OP_RD, OP_W}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x009},                      {},                  {OP_NOT, OP_RE, OP_W}},
    {kMOV,    kAnyClass, 1,  0, 0, {0x002},                      {},                  {OP_NOT, OP_OPTION, OP_W}},
    {kMOVSZ,  kAnyClass, 1,  0, 0, {0x2C0},                      {0, 0, 0, 0x1F},     {OP_W, OP_MINUS, OP_MINUS, OP_FR}},
    {kMOVSZ,  kAnyClass, 1,  0, 0, {0x3C0},                      {0, 0, 0, 0x1F},     {OP_W, OP_PLUS, OP_PLUS, OP_FR}},
    {kJMP,    kAnyClass, 1,  0, 0, {0xA00},                      {0xFFF},             {OP_FR}},
    {kJMP,    kAnyClass, 1,  0, 0, {0xA00},                      {0xFFF},             {OP_LIT}},
    {kJMP,    kAnyClass, 1,  0, 0, {0x022},                      {},                  {OP_W}},
    {kJMP,    kAnyClass, 1,  0, 0, {0x1E2},                      {},                  {OP_PC, OP_PLUS, OP_W}},
    {kTEST,   kAnyClass, 1,  0, 0, {0x220},                      {0x1F},              {OP_FR}},
    {kTEST,   kAnyClass, 1,  0, 0, {0xD00},                      {},                  {OP_W}},
    {kCALL,   kAnyClass, 1,  0, 0, {0x900},                      {0xFFF},             {OP_FR}},
    {kGOTO,   kAnyClass, 1,  0, 0, {0xA00},                      {0xFFF},             {OP_FR}},

    // Bit operands, each form twice: with OP_BIT, and with OP_FR for a bit number of 0.
    {kCLRB,   kAnyClass, 1, 18, 0, {0x400},                      {0xFF},              {OP_BIT}},
    {kCLRB,   kAnyClass, 1, 18, 0, {0x400},                      {0xFF},              {OP_FR}},
    {kSETB,   kAnyClass, 1, 18, 0, {0x500},                      {0xFF},              {OP_BIT}},
    {kSETB,   kAnyClass, 1, 18, 0, {0x500},                      {0xFF},              {OP_FR}},
    {kSNB,    kAnyClass, 1, 18, 0, {0x600},                      {0xFF},              {OP_BIT}},
    {kSNB,    kAnyClass, 1, 18, 0, {0x600},                      {0xFF},              {OP_FR}},
    {kSB,     kAnyClass, 1, 18, 0, {0x700},                      {0xFF},              {OP_BIT}},
    {kSB,     kAnyClass, 1, 18, 0, {0x700},                      {0xFF},              {OP_FR}},

    // Two-word moves and arithmetic through W: w1 | second operand, w2 | first operand.
    {kMOV,    kAnyClass, 2,  1, 0, {0xC00, 0x020},               {0x1F, 0xFF},        {OP_FR, OP_LIT}},
    {kADD,    kAnyClass, 2,  1, 0, {0xC00, 0x1E0},               {0x1F, 0xFF},        {OP_FR, OP_LIT}},
    {kSUB,    kAnyClass, 2,  1, 0, {0xC00, 0x0A0},               {0x1F, 0xFF},        {OP_FR, OP_LIT}},
    {kAND,    kAnyClass, 2,  1, 0, {0xC00, 0x160},               {0x1F, 0xFF},        {OP_FR, OP_LIT}},
    {kOR,     kAnyClass, 2,  1, 0, {0xC00, 0x120},               {0x1F, 0xFF},        {OP_FR, OP_LIT}},
    {kXOR,    kAnyClass, 2,  1, 0, {0xC00, 0x1A0},               {0x1F, 0xFF},        {OP_FR, OP_LIT}},
    {kMOV,    kAnyClass, 2,  1, 0, {0x200, 0x020},               {0x1F, 0x1F},        {OP_FR, OP_FR}},
    {kADD,    kAnyClass, 2,  1, 0, {0x200, 0x1E0},               {0x1F, 0x1F},        {OP_FR, OP_FR}},
    {kSUB,    kAnyClass, 2,  1, 0, {0x200, 0x0A0},               {0x1F, 0x1F},        {OP_FR, OP_FR}},
    {kAND,    kAnyClass, 2,  1, 0, {0x200, 0x160},               {0x1F, 0x1F},        {OP_FR, OP_FR}},
    {kOR,     kAnyClass, 2,  1, 0, {0x200, 0x120},               {0x1F, 0x1F},        {OP_FR, OP_FR}},
    {kXOR,    kAnyClass, 2,  1, 0, {0x200, 0x1A0},               {0x1F, 0x1F},        {OP_FR, OP_FR}},

    // ADDB, SUBB and MOVB with every mix of OP_BIT and OP_FR in the bit positions.
    {kADDB,   kAnyClass, 2, 19, 0, {0x600, 0x2A0},               {0x1F, 0xFF},        {OP_FR, OP_BIT}},
    {kADDB,   kAnyClass, 2, 19, 0, {0x600, 0x2A0},               {0x1F, 0xFF},        {OP_FR, OP_FR}},
    {kADDB,   kAnyClass, 2, 20, 0, {0x700, 0x2A0},               {0x1F, 0, 0xFF},     {OP_FR, OP_DIV, OP_BIT}},
    {kADDB,   kAnyClass, 2, 20, 0, {0x700, 0x2A0},               {0x1F, 0, 0xFF},     {OP_FR, OP_DIV, OP_FR}},
    {kSUBB,   kAnyClass, 2, 19, 0, {0x600, 0x0E0},               {0x1F, 0xFF},        {OP_FR, OP_BIT}},
    {kSUBB,   kAnyClass, 2, 19, 0, {0x600, 0x0E0},               {0x1F, 0xFF},        {OP_FR, OP_FR}},
    {kSUBB,   kAnyClass, 2, 20, 0, {0x700, 0x0E0},               {0x1F, 0, 0xFF},     {OP_FR, OP_DIV, OP_BIT}},
    {kSUBB,   kAnyClass, 2, 20, 0, {0x700, 0x0E0},               {0x1F, 0, 0xFF},     {OP_FR, OP_DIV, OP_FR}},
    {kMOVB,   kAnyClass, 4,  3, 0, {0x700, 0x400, 0x600, 0x500}, {0xFF, 0xFF},        {OP_BIT, OP_BIT}},
    {kMOVB,   kAnyClass, 4,  3, 0, {0x700, 0x400, 0x600, 0x500}, {0xFF, 0xFF},        {OP_BIT, OP_FR}},
    {kMOVB,   kAnyClass, 4,  3, 0, {0x700, 0x400, 0x600, 0x500}, {0xFF, 0xFF},        {OP_FR, OP_BIT}},
    {kMOVB,   kAnyClass, 4,  3, 0, {0x700, 0x400, 0x600, 0x500}, {0xFF, 0xFF},        {OP_FR, OP_FR}},
    {kMOVB,   kAnyClass, 4,  4, 0, {0x600, 0x400, 0x700, 0x500}, {0xFF, 0, 0xFF},     {OP_BIT, OP_DIV, OP_BIT}},
    {kMOVB,   kAnyClass, 4,  4, 0, {0x600, 0x400, 0x700, 0x500}, {0xFF, 0, 0xFF},     {OP_BIT, OP_DIV, OP_FR}},
    {kMOVB,   kAnyClass, 4,  4, 0, {0x600, 0x400, 0x700, 0x500}, {0xFF, 0, 0xFF},     {OP_FR, OP_DIV, OP_BIT}},
    {kMOVB,   kAnyClass, 4,  4, 0, {0x600, 0x400, 0x700, 0x500}, {0xFF, 0, 0xFF},     {OP_FR, OP_DIV, OP_FR}},

    // Loops, compare-and-skip, compare-and-jump; the address of CJxx classifies as OP_FR.
    {kIJNZ,   kAnyClass, 2,  5, 0, {0x3E0, 0xA00},               {0x1F, 0xFFF},       {OP_FR, OP_FR}},
    {kDJNZ,   kAnyClass, 2,  5, 0, {0x2E0, 0xA00},               {0x1F, 0xFFF},       {OP_FR, OP_FR}},
    {kCSE,    kAnyClass, 3,  6, 0, {0xC00, 0x080, 0x743},        {0x1F, 0xFF},        {OP_FR, OP_LIT}},
    {kCSE,    kAnyClass, 3,  6, 0, {0x200, 0x080, 0x743},        {0x1F, 0x1F},        {OP_FR, OP_FR}},
    {kCSNE,   kAnyClass, 3,  6, 0, {0xC00, 0x080, 0x643},        {0x1F, 0xFF},        {OP_FR, OP_LIT}},
    {kCSNE,   kAnyClass, 3,  6, 0, {0x200, 0x080, 0x643},        {0x1F, 0x1F},        {OP_FR, OP_FR}},
    {kCSAE,   kAnyClass, 3,  6, 0, {0xC00, 0x080, 0x703},        {0x1F, 0xFF},        {OP_FR, OP_LIT}},
    {kCSAE,   kAnyClass, 3,  6, 0, {0x200, 0x080, 0x703},        {0x1F, 0x1F},        {OP_FR, OP_FR}},
    {kCSB,    kAnyClass, 3,  6, 0, {0xC00, 0x080, 0x603},        {0x1F, 0xFF},        {OP_FR, OP_LIT}},
    {kCSB,    kAnyClass, 3,  6, 0, {0x200, 0x080, 0x603},        {0x1F, 0x1F},        {OP_FR, OP_FR}},
    {kCSA,    kAnyClass, 3, 16, 0, {0xC00, 0x1C0, 0x703},        {0x1F, 0xFF},        {OP_FR, OP_LIT}},
    {kCSA,    kAnyClass, 3, 26, 0, {0x200, 0x080, 0x603},        {0x1F, 0x1F},        {OP_FR, OP_FR}},
    {kCSBE,   kAnyClass, 3, 16, 0, {0xC00, 0x1C0, 0x603},        {0x1F, 0xFF},        {OP_FR, OP_LIT}},
    {kCSBE,   kAnyClass, 3, 26, 0, {0x200, 0x080, 0x703},        {0x1F, 0x1F},        {OP_FR, OP_FR}},
    {kCJE,    kAnyClass, 4,  7, 0, {0xC00, 0x080, 0x643, 0xA00}, {0x1F, 0xFF, 0xFFF}, {OP_FR, OP_LIT, OP_FR}},
    {kCJE,    kAnyClass, 4,  7, 0, {0x200, 0x080, 0x643, 0xA00}, {0x1F, 0x1F, 0xFFF}, {OP_FR, OP_FR, OP_FR}},
    {kCJNE,   kAnyClass, 4,  7, 0, {0xC00, 0x080, 0x743, 0xA00}, {0x1F, 0xFF, 0xFFF}, {OP_FR, OP_LIT, OP_FR}},
    {kCJNE,   kAnyClass, 4,  7, 0, {0x200, 0x080, 0x743, 0xA00}, {0x1F, 0x1F, 0xFFF}, {OP_FR, OP_FR, OP_FR}},
    {kCJAE,   kAnyClass, 4,  7, 0, {0xC00, 0x080, 0x603, 0xA00}, {0x1F, 0xFF, 0xFFF}, {OP_FR, OP_LIT, OP_FR}},
    {kCJAE,   kAnyClass, 4,  7, 0, {0x200, 0x080, 0x603, 0xA00}, {0x1F, 0x1F, 0xFFF}, {OP_FR, OP_FR, OP_FR}},
    {kCJB,    kAnyClass, 4,  7, 0, {0xC00, 0x080, 0x703, 0xA00}, {0x1F, 0xFF, 0xFFF}, {OP_FR, OP_LIT, OP_FR}},
    {kCJB,    kAnyClass, 4,  7, 0, {0x200, 0x080, 0x703, 0xA00}, {0x1F, 0x1F, 0xFFF}, {OP_FR, OP_FR, OP_FR}},
    {kCJA,    kAnyClass, 4, 17, 0, {0xC00, 0x1C0, 0x603, 0xA00}, {0x1F, 0xFF, 0xFFF}, {OP_FR, OP_LIT, OP_FR}},
    {kCJA,    kAnyClass, 4, 27, 0, {0x200, 0x080, 0x703, 0xA00}, {0x1F, 0x1F, 0xFFF}, {OP_FR, OP_FR, OP_FR}},
    {kCJBE,   kAnyClass, 4, 17, 0, {0xC00, 0x1C0, 0x703, 0xA00}, {0x1F, 0xFF, 0xFFF}, {OP_FR, OP_LIT, OP_FR}},
    {kCJBE,   kAnyClass, 4, 27, 0, {0x200, 0x080, 0x603, 0xA00}, {0x1F, 0x1F, 0xFFF}, {OP_FR, OP_FR, OP_FR}},

    // Bit and flag jumps.
    {kJB,     kAnyClass, 2,  8, 0, {0x600, 0xA00},               {0xFF, 0xFFF},       {OP_BIT, OP_FR}},
    {kJB,     kAnyClass, 2,  8, 0, {0x600, 0xA00},               {0xFF, 0xFFF},       {OP_FR, OP_FR}},
    {kJNB,    kAnyClass, 2,  8, 0, {0x700, 0xA00},               {0xFF, 0xFFF},       {OP_BIT, OP_FR}},
    {kJNB,    kAnyClass, 2,  8, 0, {0x700, 0xA00},               {0xFF, 0xFFF},       {OP_FR, OP_FR}},
    {kJC,     kAnyClass, 2,  9, 0, {0x603, 0xA00},               {0xFFF},             {OP_FR}},
    {kJZ,     kAnyClass, 2,  9, 0, {0x643, 0xA00},               {0xFFF},             {OP_FR}},
    {kJNC,    kAnyClass, 2,  9, 0, {0x703, 0xA00},               {0xFFF},             {OP_FR}},
    {kJNZ,    kAnyClass, 2,  9, 0, {0x743, 0xA00},               {0xFFF},             {OP_FR}},

    // M, and the port and OPTION registers written with "!".
    {kMOV,    kAnyClass, 2, 10, 0, {0x200, 0x043},               {0, 0x1F},           {OP_M, OP_FR}},
    {kMOV,    kAnyClass, 2, 11, 0, {0x042, 0x020},               {0x1F},              {OP_FR, OP_M}},
    {kMOV,    kAnyClass, 2, 12, 0, {0xC00, 0x005},               {0, 0, 0xFF},        {OP_NOT, OP_RA, OP_LIT}},
    {kMOV,    kAnyClass, 2, 12, 0, {0xC00, 0x006},               {0, 0, 0xFF},        {OP_NOT, OP_RB, OP_LIT}},
    {kMOV,    kAnyClass, 2, 12, 0, {0xC00, 0x007},               {0, 0, 0xFF},        {OP_NOT, OP_RC, OP_LIT}},
    {kMOV,    kAnyClass, 2, 12, 0, {0xC00, 0x008},               {0, 0, 0xFF},        {OP_NOT, OP_RD, OP_LIT}},
    {kMOV,    kAnyClass, 2, 12, 0, {0xC00, 0x009},               {0, 0, 0xFF},        {OP_NOT, OP_RE, OP_LIT}},
    {kMOV,    kAnyClass, 2, 12, 0, {0x200, 0x005},               {0, 0, 0x1F},        {OP_NOT, OP_RA, OP_FR}},
    {kMOV,    kAnyClass, 2, 12, 0, {0x200, 0x006},               {0, 0, 0x1F},        {OP_NOT, OP_RB, OP_FR}},
    {kMOV,    kAnyClass, 2, 12, 0, {0x200, 0x007},               {0, 0, 0x1F},        {OP_NOT, OP_RC, OP_FR}},
    {kMOV,    kAnyClass, 2, 12, 0, {0x200, 0x008},               {0, 0, 0x1F},        {OP_NOT, OP_RD, OP_FR}},
    {kMOV,    kAnyClass, 2, 12, 0, {0x200, 0x009},               {0, 0, 0x1F},        {OP_NOT, OP_RE, OP_FR}},
    {kMOV,    kAnyClass, 2, 12, 0, {0xC00, 0x002},               {0, 0, 0xFF},        {OP_NOT, OP_OPTION, OP_LIT}},
    {kMOV,    kAnyClass, 2, 12, 0, {0x200, 0x002},               {0, 0, 0x1F},        {OP_NOT, OP_OPTION, OP_FR}},
    {kMOV,    kAnyClass, 2, 14, 0, {0x200, 0x000},               {0, 0x1F, 0x1F},     {OP_NOT, OP_FR, OP_FR}},
    {kMOV,    kAnyClass, 2, 15, 0, {0xC00, 0x000},               {0, 0xF, 0xFF},      {OP_NOT, OP_FR, OP_LIT}},

    {0, kAnyClass, 0, 0, 0, {}, {}, {}},
};

const char* OperandKindName(uint16_t kind) {
  switch (kind) {
    case OP_NULL: return "OP_NULL";
    case OP_W: return "OP_W";
    case OP_M: return "OP_M";
    case OP_FR: return "OP_FR";
    case OP_NOT: return "OP_NOT";
    case OP_DIV: return "OP_DIV";
    case OP_MINUS: return "OP_MINUS";
    case OP_PLUS: return "OP_PLUS";
    case OP_LEFT: return "OP_LEFT";
    case OP_RIGHT: return "OP_RIGHT";
    case OP_LSHIFT: return "OP_LSHIFT";
    case OP_RSHIFT: return "OP_RSHIFT";
    case OP_LIT: return "OP_LIT";
    case OP_OPTION: return "OP_OPTION";
    case OP_WDT: return "OP_WDT";
    case OP_PC: return "OP_PC";
    case OP_RA: return "OP_RA";
    case OP_RB: return "OP_RB";
    case OP_RC: return "OP_RC";
    case OP_RD: return "OP_RD";
    case OP_RE: return "OP_RE";
    case OP_BIT: return "OP_BIT";
    default: return "UNKNOWN";
  }
}

const InstructionForm* FindForm(int id, int device_class, const OperandRecords& operands) {
  for (const InstructionForm& form : kInstructionForms) {
    if (form.id == 0) break;
    if (form.id != id) continue;
    if (form.device_class != kAnyClass && form.device_class != device_class) continue;
    bool same = true;
    for (int i = 0; i < kMatchedOperands && same; ++i) same = form.kinds[i] == operands[i].kind;
    if (same) return &form;
  }
  return nullptr;
}

bool TakesPagePrefix(int id) {
  switch (id) {
    case kCALL: case kJMP: case kGOTO: case kIJNZ: case kDJNZ:
    case kCJE: case kCJNE: case kCJA: case kCJAE: case kCJB: case kCJBE:
    case kJB: case kJC: case kJZ: case kJNB: case kJNC: case kJNZ:
      return true;
    default:
      return false;
  }
}

int SizeOfInstruction(int id, int device_class, const OperandRecords& operands, bool page_prefix) {
  const InstructionForm* form = FindForm(id, device_class, operands);
  if (!form) return 1;
  // Pass 2 inserts the PAGE word only into a matched form; counting it here for an unmatched
  // one would move every later address between the passes.
  return form->size + (page_prefix && TakesPagePrefix(id) ? 1 : 0);
}

}  // namespace tarn
