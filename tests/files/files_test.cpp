// The file layer in the process: opening inputs, the plan's view of names
// and links, the journal's text, a set of outputs committed or dropped, and
// what a later command does with the work folders of a dead one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/input_error.h"
#include "files/file_ops.h"
#include "files/input_file.h"
#include "files/journal.h"
#include "files/output_plan.h"
#include "files/output_set.h"

namespace locseq::files {
namespace {

namespace fs = std::filesystem;

// A fresh folder, removed with the object.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string name = (fs::temp_directory_path() / "locseq-files-XXXXXX").string();
    if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = name;
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string error_of(const std::function<void()>& f) {
  try {
    f();
  } catch (const InputError& e) {
    return e.what();
  }
  return "";
}

// The contents of a folder, descending: name -> content ("/" for a folder).
std::map<std::string, std::string> contents(const fs::path& folder) {
  std::map<std::string, std::string> all;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    all[fs::relative(e.path(), folder).string()] = e.is_directory() ? "/" : read_file(e.path());
  }
  return all;
}

TEST(OpenInput, OneWordingPerFault) {
  ScratchFolder work;
  const fs::path w = work.path();
  write_file(w / "file", "some bytes\n");
  fs::create_directory(w / "dir");
  ASSERT_EQ(::mkfifo((w / "fifo").c_str(), 0666), 0);
  fs::create_symlink("nowhere", w / "dangling");
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sock_path = (w / "sock").string();
  ASSERT_LT(sock_path.size(), sizeof addr.sun_path);
  std::copy(sock_path.begin(), sock_path.end(), addr.sun_path);
  ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
  const struct {
    fs::path name;
    std::string message;  // after "NAME: "
  } cases[] = {
      {w / "missing", "cannot open the input file: it does not exist"},
      {w / "dangling", "cannot open the input file: it does not exist"},
      {w / "file" / "below", "cannot open the input file: it does not exist"},
      {w / "dir", "cannot open the input file: it is a directory"},
      {w / "fifo", "cannot open the input file: it is not a regular file (a pipe)"},
      {w / "sock", "cannot open the input file: it is not a regular file (a socket)"},
      {"/dev/null", "cannot open the input file: it is not a regular file (a character device)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(error_of([&] { open_input(c.name.string()); }), c.name.string() + ": " + c.message);
  }
  ::close(sock);
  EXPECT_EQ(error_of([&] { open_input(""); }), "'': cannot open the input file: it does not exist");
  EXPECT_EQ(open_optional_input((w / "missing").string()), nullptr);
  EXPECT_NE(error_of([&] { open_optional_input((w / "dir").string()); }), "");
  EXPECT_EQ(open_input((w / "file").string()).read_all(), "some bytes\n");
}

// A read that fails midway is an error naming the file, out of the
// stream's own calls too; reads and seeks give the file's bytes.
TEST(OpenInput, AReadErrorMidwayNamesTheFile) {
  ScratchFolder work;
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "line " + std::to_string(i) + "\n";
  write_file(work.path() / "big", text);
  static int reads = 0;
  static int fail_at = 0;
  set_fault_hook([](FaultPoint point, const std::string&) {
    return point == FaultPoint::Read && ++reads == fail_at ? EIO : 0;
  });
  for (int at : {1, 2, 4}) {
    reads = 0;
    fail_at = at;
    InputFile in = open_input((work.path() / "big").string());
    std::string line;
    EXPECT_EQ(error_of([&] {
                while (std::getline(in.stream(), line)) {
                }
              }),
              (work.path() / "big").string() + ": cannot read the input file: input/output error");
  }
  fail_at = 0;
  InputFile in = open_input((work.path() / "big").string());
  EXPECT_EQ(in.read_all(), text);
  in.stream().clear();
  in.stream().seekg(5);
  char five[5];
  in.stream().read(five, 5);
  EXPECT_EQ(std::string(five, 5), text.substr(5, 5));
  set_fault_hook(nullptr);
}

TEST(Locate, FollowsLinksToWhereTheFileIsOrWillBe) {
  ScratchFolder work;
  const fs::path w = fs::canonical(work.path());
  write_file(w / "file", "x");
  fs::create_directory(w / "sub");
  fs::create_symlink("file", w / "to-file");
  fs::create_symlink("sub/new", w / "to-new");
  fs::create_symlink("to-new", w / "to-to-new");
  fs::create_symlink("loop-b", w / "loop-a");
  fs::create_symlink("loop-a", w / "loop-b");
  const struct {
    std::string name;
    Place::Type type;
    std::string path;
  } cases[] = {
      {"file", Place::Type::File, (w / "file").string()},
      {"to-file", Place::Type::File, (w / "file").string()},
      {"./sub/../file", Place::Type::File, (w / "file").string()},
      {"new", Place::Type::Missing, (w / "new").string()},
      {"to-new", Place::Type::Missing, (w / "sub/new").string()},
      {"to-to-new", Place::Type::Missing, (w / "sub/new").string()},
      {"made/later/x", Place::Type::Missing, (w / "made/later/x").string()},
      {"sub", Place::Type::Folder, ""},
      {"/dev/null", Place::Type::Direct, ""},
  };
  const fs::path was = fs::current_path();
  fs::current_path(w);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Place p = locate(c.name);
    EXPECT_EQ(p.type, c.type);
    if (!c.path.empty()) {
      EXPECT_EQ(p.path(), c.path);
    }
  }
  EXPECT_NE(error_of([] { locate("loop-a"); }), "");
  EXPECT_NE(error_of([] { locate("nowhere/"); }), "");
  fs::current_path(was);
}

TEST(PlannedPattern, MatchesTheReservedNamesOnly) {
  const PlannedPattern p{"figure", "P", "step-", ".svg"};
  for (const char* yes : {"step-1.svg", "step-30.svg", "step-007.svg"}) EXPECT_TRUE(p.matches(yes));
  for (const char* no : {"step-.svg", "step-1.svgx", "step-x.svg", "xstep-1.svg", "step-1.SVG",
                         "fit.svg", "step-1-2.svg"}) {
    EXPECT_FALSE(p.matches(no)) << no;
  }
}

TEST(Journal, ItsTextReadsBackAndNoCutTextPasses) {
  Journal j;
  j.primary = "/a b/\n:odd/.locseq-abc123";
  j.folders.push_back({"/a b/\n:odd", ".locseq-abc123", {}});
  j.folders[0].entries.push_back({1, true, true, 1234567, "name with\nline end"});
  j.folders[0].entries.push_back({2, false, true, 42, "12:34"});
  j.folders[0].entries.push_back({7, true, false, 0, std::string(255, 'x')});
  j.folders.push_back({"/",
                       ".locseq-XYZ789",
                       {{3, true, true, 9,
                         "\xE2\x80\xAE"
                         "rtl"}}});
  const std::string text = journal_text(j);
  const std::optional<Journal> back = parse_journal(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(journal_text(*back), text);
  EXPECT_EQ(back->folders[0].entries[0].leaf, "name with\nline end");
  for (std::size_t cut = 0; cut < text.size(); ++cut) {
    EXPECT_FALSE(parse_journal(text.substr(0, cut))) << cut;
  }
  EXPECT_FALSE(parse_journal(text + "x"));
}

TEST(Journal, WorkFolderNames) {
  for (const char* yes : {".locseq-abc123", ".locseq-ABCxyz", ".locseq-000000"}) {
    EXPECT_TRUE(is_work_folder_name(yes)) << yes;
  }
  for (const char* no : {".locseq-abc12", ".locseq-abc1234", ".locseq-abc 12", "locseq-abc123",
                         ".locseq-abc.12", ".lcseq-abc123"}) {
    EXPECT_FALSE(is_work_folder_name(no)) << no;
  }
}

OutputPlan plan_of(const std::vector<std::string>& outputs, Existing existing = Existing::Replace) {
  OutputPlan plan;
  for (const std::string& o : outputs) plan.output("report", o, existing, true);
  plan.check();
  return plan;
}

TEST(OutputSet, CommitsAllOrDropsAllAndTheFoldersItMade) {
  ScratchFolder work;
  const fs::path w = work.path();
  write_file(w / "a", "earlier a\n");
  const auto before = contents(w);
  {
    std::ostringstream notes;
    OutputSet set(plan_of({(w / "a").string(), (w / "new/deep/b").string()}), notes);
    set.prepare();
    set.stream(std::size_t{0}) << "new a\n";
    set.stream(std::size_t{1}) << "new b\n";
    EXPECT_EQ(read_file(w / "a"), "earlier a\n");
  }  // not committed
  EXPECT_EQ(contents(w), before);
  std::ostringstream notes;
  OutputSet set(plan_of({(w / "a").string(), (w / "new/deep/b").string()}), notes);
  set.prepare();
  set.stream(std::size_t{0}) << "new a\n";
  set.stream(std::size_t{1}) << "new b\n";
  set.commit();
  EXPECT_EQ(contents(w),
            (std::map<std::string, std::string>{
                {"a", "new a\n"}, {"new", "/"}, {"new/deep", "/"}, {"new/deep/b", "new b\n"}}));
  EXPECT_EQ(notes.str(), "");
}

// Files that must not be replaced: refused when there at the plan, and
// when another command made one while this one ran, with nothing moved in.
TEST(OutputSet, NeverReplacesAFileItMustNot) {
  ScratchFolder work;
  const fs::path w = work.path();
  write_file(w / "b", "earlier b\n");
  EXPECT_EQ(error_of([&] {
              plan_of({(w / "a").string(), (w / "b").string()}, Existing::Refuse);
            }),
            (w / "b").string() + ": the file exists already; --force replaces it");
  fs::remove(w / "b");
  std::ostringstream notes;
  OutputSet set(plan_of({(w / "a").string(), (w / "b").string()}, Existing::Refuse), notes);
  set.prepare();
  set.stream(std::size_t{0}) << "mine\n";
  set.stream(std::size_t{1}) << "mine\n";
  write_file(w / "b", "theirs\n");  // made meanwhile
  EXPECT_EQ(error_of([&] { set.commit(); }),
            (w / "b").string() +
                ": the file exists already (another command wrote it while this one ran); "
                "--force replaces it");
  EXPECT_FALSE(fs::exists(w / "a"));
  EXPECT_EQ(read_file(w / "b"), "theirs\n");
}

// Figures of a reserved pattern that the new set no longer holds go with
// the commit; other files of the folder stay.
TEST(OutputSet, RemovesTheReservedFiguresTheNewSetNoLongerHolds) {
  ScratchFolder work;
  const fs::path p = work.path() / "P";
  fs::create_directory(p);
  for (const char* name : {"step-1.svg", "step-2.svg", "step-3.svg", "step-x.svg", "notes.txt"}) {
    write_file(p / name, "earlier\n");
  }
  OutputPlan plan;
  plan.output("figure", (p / "fit.svg").string(), Existing::Replace, true);
  plan.pattern("figure", p.string(), "step-", ".svg");
  plan.check();
  std::ostringstream notes;
  OutputSet set(plan, notes);
  set.prepare();
  set.write((p / "fit.svg").string(), "fit\n");
  set.write((p / "step-1.svg").string(), "one\n");
  EXPECT_THROW(set.write((p / "other.svg").string(), "x"), std::logic_error);
  set.commit();
  EXPECT_EQ(contents(p), (std::map<std::string, std::string>{{"fit.svg", "fit\n"},
                                                             {"notes.txt", "earlier\n"},
                                                             {"step-1.svg", "one\n"},
                                                             {"step-x.svg", "earlier\n"}}));
}

// The work folders of a dead command, as it left them at each stage of a
// commit over two folders: the next command rolls back the whole set when
// the primary journal is there, and otherwise removes what is left.
TEST(Recover, RollsBackAWholeSetAcrossFoldersOrRemovesWhatIsLeft) {
  enum Stage { Writing, Journalled, HalfMoved, Committed };
  for (Stage stage : {Writing, Journalled, HalfMoved, Committed}) {
    SCOPED_TRACE(stage);
    ScratchFolder work;
    const fs::path a = fs::canonical(work.path()) / "a", b = fs::canonical(work.path()) / "b";
    fs::create_directories(a);
    fs::create_directories(b);
    write_file(a / "x", "earlier x\n");
    write_file(b / "y", "earlier y\n");
    write_file(b / "step-9.svg", "earlier figure\n");  // removed by the set
    const auto earlier = contents(work.path());
    // The dead command's work folders: temporaries 1 (x) and 2 (y, new),
    // and the old files kept.
    fs::create_directory(a / ".locseq-aaaaaa");
    fs::create_directory(b / ".locseq-bbbbbb");
    write_file(a / ".locseq-aaaaaa/1", "new x\n");
    write_file(b / ".locseq-bbbbbb/2", "new z\n");
    struct stat st {};
    ::stat((a / ".locseq-aaaaaa/1").c_str(), &st);
    const ino_t x_ino = st.st_ino;
    ::stat((b / ".locseq-bbbbbb/2").c_str(), &st);
    const ino_t z_ino = st.st_ino;
    Journal j;
    j.primary = (a / ".locseq-aaaaaa").string();
    j.folders = {{a.string(), ".locseq-aaaaaa", {{1, true, true, x_ino, "x"}}},
                 {b.string(),
                  ".locseq-bbbbbb",
                  {{2, false, true, z_ino, "z"}, {3, true, false, 0, "step-9.svg"}}}};
    if (stage != Writing) {
      fs::create_hard_link(a / "x", a / ".locseq-aaaaaa/o1");
      fs::create_hard_link(b / "step-9.svg", b / ".locseq-bbbbbb/o3");
      write_file(b / ".locseq-bbbbbb/journal", journal_text(j));
      write_file(a / ".locseq-aaaaaa/journal", journal_text(j));
    }
    if (stage >= HalfMoved) {
      fs::rename(a / ".locseq-aaaaaa/1", a / "x");
      fs::rename(b / ".locseq-bbbbbb/2", b / "z");
    }
    if (stage == Committed) {
      fs::remove(b / "step-9.svg");
      fs::remove(a / ".locseq-aaaaaa/journal");
    }
    const auto left = contents(work.path());
    std::ostringstream notes;
    recover_folders({b.string()}, notes);  // found from the second folder
    const auto after = contents(work.path());
    if (stage == Journalled || stage == HalfMoved) {
      EXPECT_EQ(after, earlier);
      EXPECT_EQ(notes.str(), "locseq: " + b.string() +
                                 ": put back the earlier outputs of a command that was stopped "
                                 "while replacing them\n");
    } else {
      EXPECT_EQ(notes.str(), "locseq: " + b.string() +
                                 ": removed the temporary files of a command that did not end\n");
      for (const auto& [name, content] : after) {
        EXPECT_EQ(name.find("locseq-bbbbbb"), std::string::npos) << name;
        EXPECT_EQ(left.at(name), content) << name;
      }
    }
  }
}

// A work folder whose command is alive (its lock held) is left alone.
TEST(Recover, LeavesTheWorkOfALiveCommand) {
  ScratchFolder work;
  std::ostringstream notes;
  OutputSet set(plan_of({(work.path() / "a").string()}), notes);
  set.prepare();
  const auto during = contents(work.path());
  ASSERT_EQ(during.size(), 2u);  // the work folder and its temporary
  recover_folders({work.path().string()}, notes);
  EXPECT_EQ(contents(work.path()), during);
  EXPECT_EQ(notes.str(), "");
}

}  // namespace
}  // namespace locseq::files
