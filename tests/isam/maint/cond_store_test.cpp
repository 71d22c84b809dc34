// Conditions stored in a data file: the resource's bytes, its size steps,
// edits, and the refusals.
#include <cstring>
#include <vector>

#include "isam/maint/conditions/cond_index_image.h"
#include "isam/maint/conditions/cond_index_set.h"
#include "isam/maint/conditions/cond_index_store.h"
#include "isam/record/resource_chain.h"
#include "tests/isam/maint/cond_fixture.h"

namespace isam {
namespace {

using namespace isam::maint;

class CondStoreTest : public CondSetTest {
 protected:
  // The whole resource (prefix included), empty when absent.
  std::vector<uint8_t> Resource() {
    const uint8_t key[8] = {0, 0, 0, 0, 5, 0, 0, 0};
    std::vector<uint8_t> buf(20000);
    int32_t used = 0;
    if (ResourceRecordFind(data(), key, buf.data(), static_cast<int32_t>(buf.size()), kFindResourceByKey, &used) == 0)
      return {};
    buf.resize(static_cast<std::size_t>(used));
    return buf;
  }
  std::string Text(int relative) {
    char buf[4096] = {};
    return CondIndexGetText(index(relative), sizeof buf, buf) > 0 ? buf : "";
  }
};

TEST_F(CondStoreTest, FirstConditionBytes) {
  Create();
  ASSERT_EQ(0, CondIndexSetText(index(2), "Amount>100"));
  const std::vector<uint8_t> r = Resource();
  ASSERT_EQ(2026u, r.size());
  const uint8_t head[] = {0x00, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x45, 0x4E, 0x21, 0x43, 0x49, 0x44,
                          0x58, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x0B, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(0, std::memcmp(head, r.data(), sizeof head));
  EXPECT_EQ(0, std::memcmp("Amount>100", r.data() + sizeof head, 11));
  for (std::size_t i = sizeof head + 11; i < r.size(); ++i) ASSERT_EQ(0, r[i]) << i;
  EXPECT_EQ("Amount>100", Text(2));
  EXPECT_EQ("", Text(1));
  EXPECT_EQ(16, CondIndexHasCondition(static_cast<int16_t>(data()), 2));
  EXPECT_EQ(0, CondIndexHasCondition(static_cast<int16_t>(data()), 1));
  ASSERT_EQ(0, CondIndexSetText(index(2), ""));  // the only condition: the resource goes
  EXPECT_TRUE(Resource().empty());
  EXPECT_EQ(0, CondIndexHasCondition(static_cast<int16_t>(data()), 2));
}

TEST_F(CondStoreTest, SizesAndEdits) {
  EXPECT_EQ(2010u, CondImageSize(100));
  EXPECT_EQ(2010u, CondImageSize(2010));
  EXPECT_EQ(4058u, CondImageSize(2011));
  Create();
  // Content 4 + 8 + (1998 + 1) = 2011 bytes.
  const std::string long_text = "Amount>1" + std::string(1990, ' ');
  ASSERT_EQ(0, CondIndexSetText(index(2), long_text.c_str()));
  EXPECT_EQ(16u + 4058u, Resource().size());
  ASSERT_EQ(0, CondIndexSetText(index(2), "Count<5"));  // shorter: in place, old room kept
  EXPECT_EQ(16u + 4058u, Resource().size());
  EXPECT_EQ("Count<5", Text(2));
  // Three entries (key 3 through the stored body), then the middle one goes.
  ASSERT_EQ(0, CondIndexSetText(index(1), "Count>1"));
  std::vector<uint8_t> body(static_cast<std::size_t>(CondIndexGetImage(data(), 0, nullptr)));
  ASSERT_EQ(static_cast<int32_t>(body.size()), CondIndexGetImage(data(), static_cast<int32_t>(body.size()), body.data()));
  CondImage image;
  ASSERT_TRUE(ParseCondImage(body.data(), body.size(), &image));
  std::vector<CondEntryText> list = CondImageTexts(body.data(), image);
  list.push_back({3, 9, 0, "Count!=2"});
  const std::vector<uint8_t> three = BuildCondImage(3, list);
  ASSERT_EQ(0, CondIndexStore(data(), three.data(), static_cast<int32_t>(three.size())));
  ASSERT_EQ(0, CondIndexSetText(index(1), ""));
  EXPECT_EQ("Count<5", Text(2));
  EXPECT_EQ("", Text(1));
  EXPECT_EQ(16, CondIndexHasCondition(static_cast<int16_t>(data()), 3));
  ASSERT_EQ(0, CondIndexSetText(index(2), nullptr));
  ASSERT_FALSE(Resource().empty());
  ASSERT_EQ(0, CondIndexStore(data(), nullptr, 0));
  EXPECT_TRUE(Resource().empty());
  EXPECT_EQ(0, CondIndexSetText(index(2), ""));  // nothing stored, nothing written
  EXPECT_TRUE(Resource().empty());
}

TEST_F(CondStoreTest, Refusals) {
  Create();
  ASSERT_EQ(0, CondIndexSetText(index(2), "Amount>100"));
  const std::vector<uint8_t> before = Resource();
  const char* bad[] = {"Amount>", "Nope>1", "Name==\"x\""};
  for (const char* t : bad) EXPECT_EQ(597, CondIndexSetText(index(2), t)) << t;
  EXPECT_EQ(before, Resource());
  EXPECT_EQ(614, CondIndexSetText(data() + 7, "Amount>1"));
  // A body whose entries reach past the given length.
  std::vector<uint8_t> body(20, 0);
  body[0] = 1;
  body[6] = 200;
  EXPECT_EQ(595, CondIndexStore(data(), body.data(), static_cast<int32_t>(body.size())));
  EXPECT_EQ(48, CondIndexStore(index(1), body.data(), static_cast<int32_t>(body.size())));
  Reopen(0x4 | 0x1);
  EXPECT_EQ(62, CondIndexSetText(index(2), "Amount>5"));
  EXPECT_EQ(before, Resource());
}

// A body whose condition does not compile, and texts a 16-bit length cannot
// hold: refused before anything is written, the file opens as before.
TEST_F(CondStoreTest, RefusedBeforeWriting) {
  Create();
  ASSERT_EQ(0, CondIndexSetText(index(2), "Amount>100"));
  const std::vector<uint8_t> before = Resource();
  const std::string over_long = "Amount>1" + std::string(70000, ' ');
  const struct {
    uint16_t key;
    std::string text;
    int code;
  } cases[] = {{2, "Amount>", 597}, {1, "Nope>1", 597}, {2, over_long, 597}};
  for (const auto& c : cases) {
    if (c.text.size() < 65535) {
      const std::vector<uint8_t> body = BuildCondImage(1, {{c.key, static_cast<uint16_t>(c.text.size() + 1), 0, c.text}});
      EXPECT_EQ(c.code, CondIndexStore(data(), body.data(), static_cast<int32_t>(body.size()))) << c.text;
    }
    EXPECT_EQ(c.code, CondIndexSetText(index(c.key), c.text.c_str())) << c.text.substr(0, 20);
    EXPECT_EQ(before, Resource()) << c.text.substr(0, 20);
    Reopen();
    EXPECT_EQ("Amount>100", Text(2));
  }
}

}  // namespace
}  // namespace isam
