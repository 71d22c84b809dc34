// The call frame: gate, dispatcher, start-up and their error answers.
#include <gtest/gtest.h>

#include <cstring>

#include "isam/engine_api.h"
#include "isam/fileset/isam_start.h"
#include "isam/record/resource_chain.h"
#include "isam/runtime/engine_errors.h"
#include "isam/runtime/engine_gate.h"
#include "isam/runtime/engine_instance.h"
#include "isam/runtime/engine_pool.h"
#include "isam/runtime/function_table.h"
#include "isam/runtime/maint_stubs.h"
#include "tests/isam/runtime/engine_test_env.h"
#include "tests/support/child_process.h"

namespace {

using enginetest::EngineTest;

class DispatchTest : public EngineTest {};

TEST_F(DispatchTest, CallBeforeAnyStartAnswers129WithoutLogLine) {
  EXPECT_EQ(isam::kEngNoInstance, isam::EngineCloseFile(0));
  EXPECT_EQ(isam::kEngNoInstance, isam::EngineCallNumber(999, 0, nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(0, isam::EngineGateDepth());
  EXPECT_FALSE(StatusLogExists());
}

TEST_F(DispatchTest, BadNumbersAnswer170AndOnlyUnknownOnesAreLogged) {
  ASSERT_EQ(0, StartEngine());
  // Low byte 0 and 230 and above never reach the table, and leave no line.
  EXPECT_EQ(isam::kEngBadFunction, isam::EngineCallNumber(0x0300, 0, nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(isam::kEngBadFunction, isam::EngineCallNumber(0x01F0, 0, nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_FALSE(StatusLogExists());
  // A valid low byte on a number no case knows is logged with its number.
  EXPECT_EQ(isam::kEngBadFunction, isam::EngineCallNumber(0x0505, 0, nullptr, nullptr, nullptr, nullptr, 0));
  std::string log = StatusLog();
  EXPECT_NE(std::string::npos, log.find("\tBad raw function #. fn: 1285\n")) << log;
  EXPECT_EQ(isam::kEngBadFunction, isam::EngineFindInstance(nullptr)->eng_err);
  EXPECT_EQ(0, isam::EngineGateDepth());
}

TEST_F(DispatchTest, NumbersThisBuildLacksAnswerTheirCodes) {
  ASSERT_EQ(0, StartEngine());
  auto call = [](uint16_t n) { return isam::EngineCallNumber(n, 0, nullptr, nullptr, nullptr, nullptr, 0); };
  EXPECT_EQ(isam::kEngNotSupported, call(10211));
  EXPECT_EQ(isam::kEngNotSupported, call(9444));
  EXPECT_EQ(isam::kEngNotSupported8384, call(8384));
  EXPECT_EQ(isam::kEngNotInThisBuild, call(38));
  // Known but not installed: the stub.
  EXPECT_EQ(isam::kEngNotInThisBuild, isam::EngineCloseFile(3));
  EXPECT_FALSE(StatusLogExists());
}

// Until the maintenance utilities exist their hooks answer as they do for
// files without conditions, batches or saved contexts, and free what they
// are handed.
TEST_F(DispatchTest, TheMaintenanceHooksAnswerAsForFilesWithoutConditions) {
  ASSERT_EQ(0, StartEngine());
  int32_t length = 512;
  char request[16] = {};
  EXPECT_EQ(isam::kEngBatchNotSetUp,
            isam::EngineCallNumber(isam::kFnBatchRequest, 3, request, nullptr, nullptr, &length, 5));
  EXPECT_EQ(nullptr, isam::CurrentInstance()->batch_state) << "no batch was started";
  EXPECT_EQ(isam::kEngNotInThisBuild,
            isam::EngineCallNumber(isam::kFnCreateFromParmFile, 0, nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(isam::kEngNotInThisBuild,
            isam::EngineCallNumber(isam::kFnOpenFromParmFile, 0, nullptr, nullptr, nullptr, nullptr, 0));
  isam::SetEngineError(7);
  EXPECT_EQ(nullptr, isam::CondIndexLoad(1));
  EXPECT_EQ(0, isam::CurrentInstance()->eng_err) << "no condition set is no error";
  EXPECT_EQ(0, isam::CondIndexHasCondition(1, 2));
  EXPECT_EQ(-isam::kEngCondEvalFailed, isam::CondIndexEvaluate(nullptr, 2, "record", nullptr));
  EXPECT_EQ(isam::kEngCondEvalFailed, isam::CurrentInstance()->eng_err);
  EXPECT_EQ(0, isam::CondIndexFree(nullptr));
  EXPECT_EQ(0, isam::ExprFreeTree(nullptr));
  void* stack = isam::EngineAlloc(4096);
  ASSERT_NE(nullptr, stack);
  isam::FreeExprStack(&stack);
  EXPECT_EQ(nullptr, stack);
  isam::FreeExprStack(&stack);  // nothing to free
  isam::FreeExprStack(nullptr);
  isam::SetIsamError(101, 4);
  EXPECT_EQ(0, isam::BatchFreeAll());
  EXPECT_EQ(0, isam::CurrentInstance()->isam_error);
  EXPECT_EQ(0, isam::ContextFreeAll());
}

int g_isam_impl_code = 0;
int IsamImplSettingOnlyEngErr(isam::EngineCall*) {
  isam::SetEngineError(g_isam_impl_code);
  return g_isam_impl_code;
}

TEST_F(DispatchTest, IsamLevelCallReturnsItsOwnErrorAndNeverAnEarlierOne) {
  ASSERT_EQ(0, StartEngine());
  ASSERT_EQ(0, isam::InstallEngineFunction(isam::kFnIsamAddVarRecord, IsamImplSettingOnlyEngErr));
  g_isam_impl_code = 33;
  EXPECT_EQ(33, isam::IsamAddVarRecord(1, "x", 1));
  EXPECT_EQ(33, isam::EngineFindInstance(nullptr)->isam_error);
  g_isam_impl_code = 0;
  EXPECT_EQ(0, isam::IsamAddVarRecord(1, "x", 1));
  EXPECT_EQ(0, isam::EngineFindInstance(nullptr)->isam_error);
  isam::InstallEngineFunction(isam::kFnIsamAddVarRecord, nullptr);
}

int32_t g_seen_length = -1;
int RecordLength(isam::EngineCall* call) {
  g_seen_length = *call->value2;
  return 0;
}

TEST_F(DispatchTest, FormerVariadicCallsPassTheirLengthExplicitly) {
  ASSERT_EQ(0, StartEngine());
  ASSERT_EQ(0, isam::InstallEngineFunction(isam::kFnIsamRewriteVarRecord, RecordLength));
  EXPECT_EQ(0, isam::IsamRewriteVarRecord(2, "abcdef", 6));
  EXPECT_EQ(6, g_seen_length);
  ASSERT_EQ(0, isam::InstallEngineFunction(isam::kFnAddResource, RecordLength));
  EXPECT_EQ(0, isam::EngineAddResource(2, "abcdefghij", 10));
  EXPECT_EQ(10, g_seen_length);
  isam::InstallEngineFunction(isam::kFnIsamRewriteVarRecord, nullptr);
  isam::InstallEngineFunction(isam::kFnAddResource, nullptr);
}

TEST_F(DispatchTest, GetResourceThroughTheStubReadsNothing) {
  ASSERT_EQ(0, StartEngine());
  char buffer[32];
  EXPECT_EQ(0, isam::EngineGetResource(1, "id", buffer, sizeof buffer, 0));
  EXPECT_EQ(isam::kEngNotInThisBuild, isam::EngineFindInstance(nullptr)->eng_err);
}

// With the record layers installed (in a child, so this executable's other
// tests keep the bare runtime): a missing resource reads as 0 with 408.
TEST(ResourceChild, MissingResourceThroughTheApi) {
  if (testsupport::ChildRole() != "resource") GTEST_SKIP();
  std::filesystem::current_path(testsupport::ChildValue("ENGINE_DIR"));
  isam::InstallIsamLayer();
  ASSERT_EQ(0, isam::EngineThreadLayerStart(2, 0));
  ASSERT_EQ(0, isam::EngineStart(10, 2, 6, 10, 0, nullptr, nullptr, nullptr));
  ASSERT_EQ(0, isam::EngineCreateDataFile(1, "res.dat", 128, 4096, 0));
  uint8_t id[8] = {};  // type 70000, number 1: nothing of that kind was stored
  id[0] = 0x70;
  id[1] = 0x11;
  id[2] = 0x01;
  id[4] = 1;
  char buffer[64];
  EXPECT_EQ(0, isam::EngineGetResource(1, id, buffer, sizeof buffer, isam::kFindResourceByKey));
  EXPECT_EQ(isam::kEngNoResource, isam::EngineFindInstance(nullptr)->eng_err);
  EXPECT_EQ(0, isam::EngineCloseFile(1));
  EXPECT_EQ(0, isam::EngineStop());
}

TEST_F(DispatchTest, GetResourceOfAMissingResourceAnswers0With408) {
  EXPECT_EQ(0, testsupport::RunChildTest("ResourceChild.MissingResourceThroughTheApi", "resource",
                                         {"ENGINE_DIR=" + dir_.string()}));
}

TEST_F(DispatchTest, UnknownNumbersCannotBeInstalled) {
  EXPECT_EQ(isam::kEngBadFunction, isam::InstallEngineFunction(999, RecordLength));
  EXPECT_EQ(isam::kEngBadFunction, isam::InstallEngineFunction(10211, RecordLength));
  const isam::FunctionNumberInfo* info = isam::LookupFunctionNumber(1702);
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(150, info->slot);
  EXPECT_EQ(isam::ResultForm::kValue1, info->form);
}

TEST_F(DispatchTest, ConfigurationReportFillsTheCallersBlock) {
  ASSERT_EQ(0, StartEngine());
  EXPECT_EQ(isam::kEngNullBuffer,
            isam::EngineCallNumber(isam::kFnConfigurationReport, 0, nullptr, nullptr, nullptr, nullptr, 0));
  uint8_t block[1024];
  std::memset(block, 0xEE, sizeof block);
  ASSERT_EQ(0, isam::EngineCallNumber(isam::kFnConfigurationReport, 0, block, nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(2, block[2]);                       // files
  EXPECT_EQ(768, block[4] | (block[5] << 8));   // node size
  EXPECT_STREQ("v1.00.00a", reinterpret_cast<char*>(block + 64));
  EXPECT_EQ(0, block[1023]);
}

// ---- start-up ----

class StartTest : public EngineTest {};

TEST_F(StartTest, ThreadLayerStartsOnce) {
  // The fixture already started it with (2, 0).
  EXPECT_EQ(isam::kEngAlreadyStarted, isam::EngineThreadLayerStart(2, 0));
}

TEST_F(StartTest, StartTwiceOnOneThreadAnswers518AndKeepsTheFirst) {
  ASSERT_EQ(0, StartEngine());
  isam::EngineInstance* first = isam::EngineFindInstance(nullptr);
  ASSERT_NE(nullptr, first);
  EXPECT_TRUE(first->started);
  EXPECT_EQ(6 * 128, first->node_size);
  EXPECT_EQ(128, first->member_name_limit);
  EXPECT_EQ('!', first->member_separator);
  EXPECT_STREQ(".dat", first->data_extension);
  EXPECT_EQ(500, first->os_file_limit);
  EXPECT_EQ(isam::kEngAlreadyRegistered, StartEngine());
  EXPECT_EQ(first, isam::EngineFindInstance(nullptr));
  EXPECT_EQ(first, isam::CurrentInstance());
  EXPECT_EQ(0, isam::EngineGateDepth());
}

TEST_F(StartTest, FailedStartUnregistersSoLaterCallsAnswer129) {
  EXPECT_EQ(isam::kEngBadStartArguments, isam::EngineStart(10, 2, 0, 10, 0, nullptr, nullptr, nullptr));
  EXPECT_EQ(nullptr, isam::EngineFindInstance(nullptr));
  EXPECT_EQ(isam::kEngNoInstance, isam::EngineCloseFile(0));
  EXPECT_EQ(isam::kEngBadStartArguments, isam::EngineStart(10, -1, 6, 10, 0, nullptr, nullptr, nullptr));
  EXPECT_EQ(0, isam::EngineGateDepth());
}

TEST_F(StartTest, StopEndsTheInstanceAndASecondStopAnswers129) {
  ASSERT_EQ(0, StartEngine());
  EXPECT_EQ(0, isam::EngineStop());
  EXPECT_EQ(nullptr, isam::EngineFindInstance(nullptr));
  EXPECT_EQ(isam::kEngNoInstance, isam::EngineStop());
  // And the engine can be started again afterwards.
  EXPECT_EQ(0, StartEngine());
}

TEST_F(StartTest, ShortFormUsesMode33) {
  ASSERT_EQ(0, isam::EngineStartShort(4, 10, 8));
  isam::EngineInstance* inst = isam::EngineFindInstance(nullptr);
  ASSERT_NE(nullptr, inst);
  EXPECT_EQ(33, inst->start_mode);
  EXPECT_EQ(4, inst->data_buffers);
  EXPECT_EQ(1024, inst->node_size);
  EXPECT_EQ(255, inst->member_name_limit);
}

TEST_F(StartTest, InstancesAreNamedByThreadId) {
  ASSERT_EQ(0, StartEngine());
  EXPECT_EQ(std::to_string(platform::CurrentThreadId()), isam::EngineCurrentInstanceNameCall());
  EXPECT_EQ(isam::EngineFindInstance(nullptr), isam::EngineFindInstance(isam::EngineCurrentInstanceName()));
  EXPECT_EQ(nullptr, isam::EngineFindInstance("nobody"));
  EXPECT_EQ(isam::kEngNamedRegistration, isam::EngineRegisterInstance("x"));
  EXPECT_EQ(isam::kEngNamedRegistration, isam::EngineUnregisterInstance(1));
}

// ---- gate misuse ends the process ----

int ReenterTheGate(isam::EngineCall*) { return isam::EngineCloseFile(7); }

void ExitThroughFatalPath(const char* message, int code) {
  std::fprintf(stderr, "%s", message);
  platform::EndProcess(code);
}

TEST(GateChild, ReentryFromAnImplementation) {
  if (testsupport::ChildRole() != "reenter") GTEST_SKIP();
  std::filesystem::current_path(testsupport::ChildValue("ENGINE_DIR"));
  platform::SetFatalHook(ExitThroughFatalPath);
  ASSERT_EQ(0, isam::EngineThreadLayerStart(2, 0));
  ASSERT_EQ(0, isam::EngineStart(10, 2, 6, 10, 0, nullptr, nullptr, nullptr));
  ASSERT_EQ(0, isam::InstallEngineFunction(isam::kFnOpenFile, ReenterTheGate));
  isam::EngineOpenFile(1, "x", 0);
  ADD_FAILURE() << "re-entering the gate came back";
}

TEST_F(DispatchTest, ReenteringTheGateIsFatal1101) {
  int code = testsupport::RunChildTest("GateChild.ReentryFromAnImplementation", "reenter",
                                       {"ENGINE_DIR=" + dir_.string()});
  EXPECT_EQ(testsupport::ObservedExitCode(isam::kFatalRecursiveSerl), code);
  std::string log = StatusLog();
  EXPECT_NE(std::string::npos, log.find("\tRecursive engserl:: 12\n")) << log;
  EXPECT_NE(std::string::npos, log.find("\tUnexpected internal engine error #1101 (eng_err=0)\n")) << log;
}

TEST_F(DispatchTest, UnbalancedUnserlIsFatal1103) {
  ASSERT_EQ(0, StartEngine());
  isam::engunserl(12);
  EXPECT_EQ(isam::kFatalZeroUnserl, enginetest::LastFatalCode());
  EXPECT_NE(std::string::npos, StatusLog().find("\tZero engunserl:: 12\n"));
}

}  // namespace
