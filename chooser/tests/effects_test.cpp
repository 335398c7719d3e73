// What each answer does to the download manager, through a fake manager that
// records the calls in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SolvikaDNM.h"
#include "answer_effects.h"
#include "question_text.h"

namespace {

struct Recorder {
  std::vector<std::string> calls;
  uint32_t nextCode = 100;
  std::vector<const TSVNetParams*> afters;

  chooser::ManagerCalls Calls() {
    chooser::ManagerCalls c;
    c.createJob = [this](const TSVNetParams*, const TSVNetParams* after, const char* title, uint8_t, const char*) {
      calls.push_back(std::string("create ") + title);
      afters.push_back(after);
      return nextCode++;
    };
    c.setParams = [this](uint8_t kind, int32_t value) {
      calls.push_back("set " + std::to_string(kind) + "," + std::to_string(value));
    };
    c.showDownloads = [this] { calls.push_back("show"); };
    return c;
  }
};

std::vector<chooser::JobArguments> Jobs(const std::vector<const char*>& titles) {
  static TSVNetParams download{};
  std::vector<chooser::JobArguments> jobs;
  for (const char* t : titles) jobs.push_back({&download, nullptr, t, 0, ""});
  return jobs;
}

TEST(ChooserEffects, EachAnswerCreatesQueuesAndShowsAsItSays) {
  struct Case {
    int answer;
    std::vector<std::string> calls;
    uint32_t result;
  };
  const Case cases[] = {
      {SVDNF_LOAD, {"create a", "set 0,2", "show"}, 100},
      {SVDNF_LOAD_BACKGROUND, {"create a", "set 0,2"}, 100},
      {SVDNF_ADD_ONLY, {"create a"}, 100},
      {SVDNF_CANCEL, {}, 0},
      {7, {}, 0},  // an unknown answer creates nothing
      {-1, {}, 0},
  };
  for (const Case& c : cases) {
    Recorder r;
    EXPECT_EQ(chooser::ApplyAnswer(c.answer, Jobs({"a"}), r.Calls()), c.result) << c.answer;
    EXPECT_EQ(r.calls, c.calls) << c.answer;
  }
}

TEST(ChooserEffects, SeveralJobsAreCreatedInOrderAndTheLastCodeIsReturned) {
  Recorder r;
  EXPECT_EQ(chooser::ApplyAnswer(SVDNF_LOAD_BACKGROUND, Jobs({"a", "b", "c"}), r.Calls()), 102u);
  EXPECT_EQ(r.calls, (std::vector<std::string>{"create a", "create b", "create c", "set 0,2"}));
}

TEST(ChooserEffects, NoTickedJobStillStartsTheQueueAndShowsButReturnsZero) {
  Recorder r;
  EXPECT_EQ(chooser::ApplyAnswer(SVDNF_LOAD, {}, r.Calls()), 0u);
  EXPECT_EQ(r.calls, (std::vector<std::string>{"set 0,2", "show"}));
}

TEST(ChooserEffects, AFailedCreationIsReportedAsTheManagerGaveIt) {
  Recorder r;
  r.nextCode = 0xFFFFFFFFu;
  EXPECT_EQ(chooser::ApplyAnswer(SVDNF_ADD_ONLY, Jobs({"a"}), r.Calls()), 0xFFFFFFFFu);
}

TEST(ChooserEffects, RecordAfterWithSizeZeroMeansNone) {
  TSVDNFMultiJob record{};
  record.Download.Size = sizeof(TSVNetParams);
  char title[] = "t";
  record.Title = title;
  record.IType = 3;
  EXPECT_EQ(chooser::ArgumentsOf(record).after, nullptr);
  record.After.Size = sizeof(TSVNetParams);
  chooser::JobArguments a = chooser::ArgumentsOf(record);
  EXPECT_EQ(a.after, &record.After);
  EXPECT_EQ(a.download, &record.Download);
  EXPECT_EQ(a.itype, 3);
  EXPECT_STREQ(a.title, "t");
}

TEST(ChooserEffects, QuestionQuotesTheTitle) {
  // "Загрузить "Плагин"?"
  EXPECT_EQ(chooser::SingleQuestion("\xCF\xEB\xE0\xE3\xE8\xED"),
            "\xC7\xE0\xE3\xF0\xF3\xE7\xE8\xF2\xFC \"\xCF\xEB\xE0\xE3\xE8\xED\"?");
  EXPECT_EQ(chooser::SingleQuestion(""), "\xC7\xE0\xE3\xF0\xF3\xE7\xE8\xF2\xFC \"\"?");
}

}  // namespace

namespace {

TEST(ChooserEffects, AfterArgumentWithSizeZeroIsNone) {
  TSVNetParams empty{};
  TSVNetParams real{};
  real.Size = sizeof(TSVNetParams);
  EXPECT_EQ(chooser::AfterOrNone(&empty), nullptr);
  EXPECT_EQ(chooser::AfterOrNone(nullptr), nullptr);
  EXPECT_EQ(chooser::AfterOrNone(&real), &real);
}

}  // namespace
