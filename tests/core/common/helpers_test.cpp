#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <semaphore>
#include <thread>

#include "core/common/comma_list.h"
#include "core/common/datetime.h"
#include "core/common/dispatcher.h"
#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/common/numbers.h"
#include "support/mounted_folder.h"
#include "support/test_support.h"

using namespace quorvex;

TEST(Numbers, WholeNumbersFallBackOnAnythingElseAndRealsUseAPointWhateverTheLocale) {
  EXPECT_EQ(ParseIntOr("  -3", 7), -3);
  for (const char* bad : {"", "4x", "1.5", "99999999999", "--1", "4 "}) EXPECT_EQ(ParseIntOr(bad, 7), 7) << bad;

  std::setlocale(LC_ALL, "de_DE.UTF-8");  // where present, a comma locale must not leak in
  EXPECT_DOUBLE_EQ(ParseRealOr("45123.25", 0), 45123.25);
  EXPECT_TRUE(ParseRealOr("45123,25", -1) == -1 && ParseRealOr("nan", -1) == -1);
  EXPECT_DOUBLE_EQ(ParseRealOr(FormatReal(46000.123456789), 0), 46000.123456789);
  std::setlocale(LC_ALL, "C");
}

TEST(DateTime, DaysSince1899WithTimeAsFraction) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_TRUE(DateTimeFromTime(0) == 25569.0 && DateTimeFromTime(86400 + 43200) == 25570.5);
  EXPECT_TRUE(TimeFromDateTime(25570.5) == 86400 + 43200 && TimeFromDateTime(1e300) == 0);
  EXPECT_EQ(FormatDateTime(25569.75), "1970-01-01 18:00:00");
}

TEST(FileIo, AtomicWriteReplacesWholeFileAndLeavesNoTemporary) {
  test::TempDir dir;
  const auto file = dir / "AllKey.txt";
  ASSERT_TRUE(WriteFileAtomically(file, "old"));
  ASSERT_TRUE(WriteFileAtomically(file, "new contents"));
  EXPECT_TRUE(ReadWholeFile(file) == "new contents" &&
              std::distance(std::filesystem::directory_iterator(dir.Path()), {}) == 1);
  EXPECT_FALSE(WriteFileAtomically(dir / "no-such-folder" / "x", "y"));
  std::filesystem::create_directory(dir / "folder");
  EXPECT_FALSE(WriteFileAtomically(dir / "folder", "onto a folder"));
  // No temporary file is left.
  EXPECT_TRUE(std::distance(std::filesystem::directory_iterator(dir.Path()), {}) == 2 &&
              !ReadWholeFile(dir / "missing"));

  // The failed step is named even when the clean-up after it fails too: on a full disk, in a folder
  // whose entries cannot be removed, the write's error stays.
  test::MountedFolder disk;
  QUORVEX_REQUIRE_MOUNT(disk);
  std::filesystem::create_directory(disk / "kept");
  const int folder = ::open((disk / "kept").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  int appendOnly = FS_APPEND_FL;
  const bool marked = ::ioctl(folder, FS_IOC_SETFLAGS, &appendOnly) == 0;
  ::close(folder);
  if (!marked) GTEST_SKIP() << "no append-only folders here";
  disk.Fill();
  const bool written = WriteFileAtomically(disk / "kept" / "AllKey.txt", std::string(1 << 16, 'k'));
  const int error = errno;
  EXPECT_TRUE(!written && error == ENOSPC) << std::strerror(error);
}

namespace {

// Lets a test wait until a worker's call is queued.
class SignallingDispatcher : public QueueDispatcher {
 public:
  std::counting_semaphore<> posted{0};

 protected:
  void Post(std::function<void()> runner) override {
    QueueDispatcher::Post(std::move(runner));
    posted.release();
  }
};

}  // namespace

TEST(Dispatcher, WorkerCallRunsOnMainThreadAndCancelledCallIsDropped) {
  SignallingDispatcher dispatcher;
  std::atomic<bool> cancel{false};
  std::thread::id ranOn;
  bool result = false;
  std::thread worker([&] { result = dispatcher.RunOnMainThread([&] { ranOn = std::this_thread::get_id(); }, cancel); });
  dispatcher.posted.acquire();
  dispatcher.RunPending();
  worker.join();
  EXPECT_TRUE(result && ranOn == std::this_thread::get_id());

  // A worker stopped while its call waits must not hold up the join.
  bool ran = false;
  std::thread stopped([&] { result = dispatcher.RunOnMainThread([&] { ran = true; }, cancel); });
  dispatcher.posted.acquire();
  cancel = true;
  dispatcher.WakeWaiters();
  stopped.join();
  dispatcher.RunPending();
  EXPECT_FALSE(result || ran);

  // A call still queued when its worker's flag is set is dropped by the main loop, even though
  // nobody woke the worker.
  std::atomic<bool> stopLater{false};
  result = true;
  std::thread late([&] { result = dispatcher.RunOnMainThread([&] { ran = true; }, stopLater); });
  dispatcher.posted.acquire();
  stopLater = true;
  dispatcher.RunPending();
  late.join();
  EXPECT_FALSE(result || ran);
}

using Items = std::vector<std::string>;

TEST(CommaList, BlanksAndCommasSeparateQuotesGroupHighBytesStayAndNulEndsTheList) {
  EXPECT_EQ(SplitCommaList("  a, b ,c\td"), (Items{"a", "b", "c", "d"}));
  EXPECT_TRUE(SplitCommaList("a,,b") == Items({"a", "", "b"}) && SplitCommaList("a,") == Items{"a"} &&
              SplitCommaList(" \r\n").empty());

  EXPECT_EQ(SplitCommaList(R"("a b","c,d")"), (Items{"a b", "c,d"}));
  EXPECT_EQ(SplitCommaList(R"("say ""hi""",x)"), (Items{"say \"hi\"", "x"}));
  // An unterminated quote runs to the end; text glued to a closing quote starts a new item.
  EXPECT_EQ(SplitCommaList(R"("open, to the end)"), (Items{"open, to the end"}));
  EXPECT_EQ(SplitCommaList(R"("a"b)"), (Items{"a", "b"}));

  EXPECT_EQ(SplitCommaList("\xC4\xE3\xBA\xC3,x"), (Items{"\xC4\xE3\xBA\xC3", "x"}));
  EXPECT_EQ(SplitCommaList(std::string("a,b\0c,d", 7)), (Items{"a", "b"}));
}


TEST(NameValueList, LookupStoreAndTextWithCrLf) {
  NameValueList lookup({"Key=a=b", "key=second", "novalue", "Empty="});
  EXPECT_TRUE(lookup.Value("KEY") == "a=b" && lookup.Value("novalue").empty());
  EXPECT_TRUE(lookup.IndexOfName("novalue") == -1 && lookup.IndexOfName("empty") == 3);

  // The first line of a name takes the value, an unknown name is appended, an empty value removes the line.
  NameValueList list({"a=1", "b=2", "A=3"});
  list.SetValue("A", "9");
  list.SetValue("c", "new");
  list.SetValue("b", "");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"A=9", "A=3", "c=new"}));

  list.SetText("a=1\r\nb=2\nc=3");
  EXPECT_EQ(list.ToText(), "a=1\r\nb=2\r\nc=3\r\n");
  list.SetText("x\n\ny\n");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"x", "", "y"}));
}
