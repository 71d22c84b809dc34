// The FunctionTable, the table of known function numbers and the
// dispatcher.
//
// Numbers whose low byte names a slot no other known number uses go
// through the table; the rest (low bytes above 164, shared low bytes, and
// the numbers the dispatcher has always called explicitly) have an entry
// of their own. Either way an implementation is installed by number.
#include "isam/runtime/function_table.h"

#include <algorithm>
#include <vector>

#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_gate.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/status_log.h"

namespace isam {

int StubNotInThisBuild(EngineCall*) { return SetEngineError(kEngNotInThisBuild); }
int StubNotInThisBuildZero(EngineCall*) {
  SetEngineError(kEngNotInThisBuild);
  return 0;
}

EngineFunction FunctionTable[kFunctionTableSlots];

namespace {

struct NumberEntry {
  FunctionNumberInfo info;
  EngineFunction explicit_fn;  // for slot -1
};

// The operations of the application, with the slots they have always had.
struct Fixed {
  EngineFunctionNumber number;
  int16_t slot;
  ResultForm form;
};
const Fixed kApplicationNumbers[] = {
    {12655, 111, ResultForm::kError}, {12, 12, ResultForm::kError},
    {8452, 4, ResultForm::kError},    {1702, 150, ResultForm::kValue1},
    {1150, 126, ResultForm::kError},  {1149, 125, ResultForm::kError},
    {8543, 95, ResultForm::kError},   {8545, 97, ResultForm::kError},
    {352, 96, ResultForm::kError},    {325, 69, ResultForm::kError},
    {326, 70, ResultForm::kError},    {2410, 106, ResultForm::kError},
    {2408, 104, ResultForm::kError},  {1400, 120, ResultForm::kError},
    {1401, 121, ResultForm::kError},  {3450, 122, ResultForm::kError},
};

// Dispatched explicitly, never through a slot.
const EngineFunctionNumber kExplicitNumbers[] = {
    8332, 8333, 8384, 8393, 8394, 8399, 8421, 142,  716,   717,   724,   728,   982,  1483, 1729,
    1742, 1749, 3041, 3042, 9156, 9425, 9864, 10450, 10455, 10464, 11461, 12634, 12635, 19144};

// Numbers the engine knows (their layers install them), as ranges.
struct Range {
  EngineFunctionNumber first, last;
};
const Range kKnownRanges[] = {
    {1, 1},       {3, 3},       {12, 12},     {36, 36},     {49, 49},     {51, 51},
    {53, 54},     {123, 124},   {142, 142},   {187, 187},   {12398, 12398}, {12655, 12655},
    {12634, 12635}, {258, 258}, {261, 261},   {264, 264},   {273, 274},   {349, 359},
    {293, 293},   {296, 297},   {311, 312},   {2361, 2361}, {325, 329},   {336, 337},
    {2351, 2352}, {338, 342},   {2346, 2350}, {575, 578},   {1596, 1596}, {2622, 2622},
    {3645, 3645}, {642, 644},   {666, 666},   {682, 682},   {728, 728},   {3146, 3147},
    {671, 674},   {926, 926},   {716, 717},   {724, 724},   {1749, 1749}, {19144, 19144},
    {982, 982},   {8475, 8476}, {1149, 1150}, {1702, 1702}, {17046, 17049}, {1400, 1402},
    {3450, 3450}, {1407, 1407}, {1483, 1483}, {1729, 1729}, {1742, 1742}, {19100, 19101},
    {1856, 1856}, {1860, 1860}, {2098, 2238}, {2408, 2413}, {8202, 8202}, {8457, 8457},
    {8205, 8208}, {8223, 8223}, {8226, 8226}, {8399, 8399}, {8221, 8221}, {8307, 8307},
    {8332, 8333}, {8393, 8394}, {8452, 8452}, {8454, 8455}, {8459, 8459}, {8467, 8469},
    {8542, 8562}, {9864, 9864}, {10450, 10450}, {10455, 10455}, {10464, 10464},
    {11461, 11461}, {19108, 19108}, {8384, 8384}, {8421, 8421}, {3041, 3042},
    {9156, 9156}, {9425, 9425},
};

// Numbers this build answers without any implementation.
bool FixedAnswer(EngineFunctionNumber n, int* code) {
  switch (n) {
    case 38: case 8214: case 8217: case 8224: case 8225: case 10263: case 10264:
      *code = kEngNotInThisBuild;
      return true;
    case 8222: case 8310: case 9444: case 10211: case 11835:
      *code = kEngNotSupported;
      return true;
    case 8384:
      *code = kEngNotSupported8384;
      return true;
    default:
      return false;
  }
}

ResultForm FormOf(EngineFunctionNumber n) {
  switch (n) {
    case 1702: case 9864: return ResultForm::kValue1;
    case 8202: case 8457: return ResultForm::kOwnReturn;
    default: return ResultForm::kError;
  }
}

std::vector<NumberEntry>& Entries() {
  static std::vector<NumberEntry> entries = [] {
    std::vector<EngineFunctionNumber> known;
    for (const Range& r : kKnownRanges) {
      for (unsigned n = r.first; n <= r.last; ++n) known.push_back(static_cast<EngineFunctionNumber>(n));
    }
    std::sort(known.begin(), known.end());
    known.erase(std::unique(known.begin(), known.end()), known.end());
    int users[256] = {};
    for (EngineFunctionNumber n : known) users[n & 0xFF] += 1;
    std::vector<NumberEntry> out;
    for (EngineFunctionNumber n : known) {
      int dummy;
      if (FixedAnswer(n, &dummy)) continue;
      NumberEntry e{{n, -1, FormOf(n)}, nullptr};
      int low = n & 0xFF;
      bool is_explicit = std::find(std::begin(kExplicitNumbers), std::end(kExplicitNumbers), n) !=
                         std::end(kExplicitNumbers);
      if (!is_explicit && low < kFunctionTableSlots && users[low] == 1) e.info.slot = static_cast<int16_t>(low);
      for (const Fixed& f : kApplicationNumbers) {
        if (f.number == n) {
          e.info.slot = f.slot;
          e.info.form = f.form;
        }
      }
      out.push_back(e);
    }
    return out;
  }();
  return entries;
}

NumberEntry* FindEntry(EngineFunctionNumber n) {
  auto& entries = Entries();
  auto it = std::lower_bound(entries.begin(), entries.end(), n,
                             [](const NumberEntry& e, EngineFunctionNumber v) { return e.info.number < v; });
  if (it == entries.end() || it->info.number != n) return nullptr;
  return &*it;
}

EngineFunction StubFor(const FunctionNumberInfo& info) {
  if (info.form == ResultForm::kValue1 || info.form == ResultForm::kValue2 || info.slot == 152 ||
      info.slot == 155) {
    return StubNotInThisBuildZero;
  }
  return StubNotInThisBuild;
}

}  // namespace

const FunctionNumberInfo* LookupFunctionNumber(EngineFunctionNumber number) {
  NumberEntry* e = FindEntry(number);
  return e ? &e->info : nullptr;
}

int InstallEngineFunction(EngineFunctionNumber number, EngineFunction fn) {
  NumberEntry* e = FindEntry(number);
  if (e == nullptr) return kEngBadFunction;
  if (e->info.slot >= 0) {
    FunctionTable[e->info.slot] = fn;
  } else {
    e->explicit_fn = fn;
  }
  return kEngOk;
}

int EngineDispatchCall(EngineCall* call) {
  const EngineFunctionNumber n = call->number;
  EngineInstance* inst = CurrentInstance();
  if (inst == nullptr) {
    engunserl(n);
    return kEngNoInstance;
  }
  inst->eng_err = 0;
  const int low = n & 0xFF;
  if (low == 0 || low >= 230) {
    inst->eng_err = kEngBadFunction;
    engunserl(n);
    return kEngBadFunction;
  }
  // An ISAM-level call starts clean, so success never reports an earlier error.
  if (n & kFnIsamLevel) inst->isam_error = 0;
  int32_t local1 = 0;
  int32_t local2 = 0;
  if ((n & kFnValue1InOut) && call->value1 == nullptr) call->value1 = &local1;
  if ((n & kFnValue2InOut) && call->value2 == nullptr) call->value2 = &local2;

  ResultForm form = ResultForm::kError;
  int own = 0;
  int fixed_code = 0;
  if (FixedAnswer(n, &fixed_code)) {
    inst->eng_err = static_cast<int16_t>(fixed_code);
  } else if (NumberEntry* e = FindEntry(n)) {
    form = e->info.form;
    EngineFunction fn = e->info.slot >= 0 ? FunctionTable[e->info.slot] : e->explicit_fn;
    if (fn == nullptr) fn = StubFor(e->info);
    int r = fn(call);
    // The call may have changed the current instance (stop unregisters).
    inst = CurrentInstance();
    switch (form) {
      case ResultForm::kError:
        // An implementation that returned a failure must not read as success.
        if (inst != nullptr && r != 0 && inst->eng_err == 0) inst->eng_err = static_cast<int16_t>(r);
        break;
      case ResultForm::kValue1:
        if (call->value1 != nullptr) *call->value1 = r;
        break;
      case ResultForm::kValue2:
        if (call->value2 != nullptr) *call->value2 = r;
        break;
      case ResultForm::kOwnReturn:
        own = r;
        break;
    }
  } else {
    WriteStatusLog("Bad raw function #. fn", n);
    inst->eng_err = kEngBadFunction;
  }

  int result;
  if (form == ResultForm::kOwnReturn) {
    result = own;
  } else if (inst == nullptr) {
    result = kEngNoInstance;
  } else if (n & kFnIsamLevel) {
    if (inst->isam_error == 0) inst->isam_error = inst->eng_err;
    result = inst->isam_error;
  } else {
    result = inst->eng_err;
  }
  engunserl(n);
  return result & 0xFFFF;
}

int EngineDispatch(EngineFunctionNumber number, int16_t file, void* block, int32_t* value1,
                   int16_t* short_out, int32_t* value2, int32_t extra) {
  EngineCall call;
  call.number = number;
  call.file = file;
  call.block = block;
  call.value1 = value1;
  call.short_out = short_out;
  call.value2 = value2;
  call.extra = extra;
  return EngineDispatchCall(&call);
}

}  // namespace isam
