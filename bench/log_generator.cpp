#include "log_generator.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "platform/cp932.h"

namespace tav::bench {

namespace {

// SplitMix64: a fixed, fully defined sequence (the standard library's
// distributions differ between implementations).
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number from lo to hi, both included.
  int Between(int lo, int hi) {
    return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
  }
  // True in `perMille` of 1000 draws.
  bool Chance(int perMille) { return static_cast<int>(Next() % 1000) < perMille; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Next() % items.size()];
  }

 private:
  std::uint64_t state_;
};

std::string Sjis(std::string_view utf8) {
  auto bytes = Utf8ToCp932(utf8);
  if (!bytes) throw std::logic_error("generator text not in code page 932: " + std::string(utf8));
  return *bytes;
}

std::vector<std::string> SjisList(std::initializer_list<std::string_view> utf8) {
  std::vector<std::string> out;
  for (const std::string_view text : utf8) out.push_back(Sjis(text));
  return out;
}

// The text the generator draws from, converted to code page 932 once.
struct Vocabulary {
  std::vector<std::string> families =
      SjisList({"佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林",   "加藤",
                "吉田", "山田", "松本", "井上", "木村", "林",   "清水", "斎藤", "佐々木", "森"});
  std::vector<std::string> givens =
      SjisList({"一郎", "健一", "美穂", "由美子", "真一", "花子", "大輔", "恵", "翔", "直樹",
                "裕子", "愛", "誠", "聡", "美紀"});
  std::vector<std::string> handles =
      SjisList({"たけし", "ぽんた", "くまごろう", "ﾀｹｼ", "みけ", "ゆうすけ", "ＨＡＬ", "ねこまる",
                "ﾏｽﾀｰ", "はやぶさ", "こじろう"});
  std::vector<std::string> subjects = SjisList({"プリンタが認識されない",
                                                "ＣＤ－ＲＯＭドライブについて",
                                                "週末のオフ会について",
                                                "モデムの設定、ありがとう",
                                                "魔法の射程について",
                                                "春の　お花見　オフ",
                                                "テスト",
                                                "【募集】　土曜夜の　オンセ",
                                                "メモリ増設の相性",
                                                "ＦＡＱはどこに？",
                                                "新しい時刻表",
                                                "夜行列車の旅",
                                                "カレーの隠し味",
                                                "おすすめのラーメン屋",
                                                "ハードディスクの異音",
                                                "ＭＳ－ＤＯＳのバッチファイル",
                                                "年末の　忘年会",
                                                "キャラクター作成のコツ",
                                                "ダイヤ改正の話",
                                                "はじめまして",
                                                "画面が真っ暗になる",
                                                "通信速度が出ない",
                                                "手作りパンの失敗談",
                                                "ローカル線　乗りつぶし",
                                                "シナリオの感想",
                                                "ソフトのバージョンアップ"});
  std::vector<std::string> sentences =
      SjisList({"はじめまして、よろしくお願いします。",
                "先週、ＰＣ－９８２１にプリンタをつないだのですが、",
                "印刷しようとすると「プリンタの準備ができていません」",
                "と表示されてしまいます。ケーブルは新品です。",
                "どなたか原因に心当たりのある方、教えてください。",
                "プリンタの電源を入れてからパソコンを起動していますか？",
                "順番が逆だと、認識されないことがあるそうです。",
                "あと、デバイスマネージャでプリンタポートの設定も",
                "一度見てみてください。",
                "内蔵と外付け、初心者にはどちらがおすすめでしょうか。",
                "予算は２万円くらいです。",
                "電源を入れる順番を変えたら、あっさり印刷できました。",
                "まさかこんなことだったとは…。お恥ずかしいです。",
                "ありがとうございました。",
                "射程が「視界」の魔法は、暗闇の中では使えないのでしょうか？",
                "先週のセッションで、ＧＭと意見が分かれてしまいました。",
                "よろしくお願いします。",
                "私の解釈では、明かりがなくても「見えている」と",
                "キャラクターが判断できれば使えると思います。",
                "ただ、最終的にはＧＭの判断を優先するのが",
                "卓の平和のためにもいいかと（笑）",
                "次のセッションでＧＭと相談してみます。",
                "今年もフォーラムのお花見オフをやります。",
                "食べ物と飲み物は各自持ち寄りでお願いします。",
                "雨天の場合は翌日に延期します。",
                "先日お話しした週末のオフ会ですが、場所は駅前の",
                "「喫茶　ひまわり」に決まりました。",
                "参加できそうなら、メールで返事をください。",
                "昨日は電話でモデムの設定を教えていただき、",
                "初期化コマンドを変えたら、嘘のように速くなりました。",
                "お礼に、今度ラーメンでもおごります。",
                "ひまわりなら会社の帰りによく寄るので、場所は",
                "わかります。少し遅れるかもしれませんが、",
                "参加させてください。",
                "地図が必要な方は、佐藤さんのページにあります。",
                "メモリを増やしたら、起動しなくなってしまいました。",
                "ＳＩＭＭの向きを確認してみてはどうでしょう。",
                "夜行列車は、寝台の揺れがまた良いのです。",
                "ダイヤ改正で、急行がひとつ減ってしまいました。",
                "隠し味にはインスタントコーヒーを少し入れます。",
                "駅の北口を出て、左に三分ほど歩いたところです。",
                "ハードディスクからカリカリと音がするのですが、",
                "早めにバックアップを取ったほうが安心ですよ。",
                "バッチファイルの最後に改行がないと、うまく動きません。",
                "それでは、また。",
                "詳しい方、ぜひ教えてください。",
                "私も同じ症状で困っていました。",
                "参考になりました。"});
  std::vector<std::string> indented =
      SjisList({"　日時：４月２２日（土）１１時～", "　場所：中央公園の噴水前",
                "　会費：１，５００円くらい", "　機種：PC-9821Xa10", "　ＯＳ：Windows95",
                "　持ち物：ルールブック、サイコロ", "　集合：駅の改札前　午後２時"});
  std::vector<std::string> kana = SjisList({"ﾎﾝﾄﾆ ﾀｽｶﾘﾏｼﾀ｡", "ｵﾊﾅﾐﾉｷｾﾂﾃﾞｽﾈ｡", "ﾖﾛｼｸ ｵﾈｶﾞｲｼﾏｽ｡"});
  std::vector<std::string> ascii = {"http://www.example.jp/~sato/map.html", "AT&F&C1&D2 S0=0",
                                    "C:\\>DIR /W", "ftp://ftp.example.jp/pub/",
                                    "PC-9821Xa10 / 16MB / 1.2GB"};

  std::string said = Sjis("です。");
  std::string greetReply = Sjis("さん、はじめまして。");
  std::string comment = Sjis("へのコメント");
  std::string forumPrompt = Sjis("フォーラム名を入力してください : ");
  std::string commandPrompt = Sjis("コマンド (R:読む L:一覧 Q:戻る) ? ");
  std::string commandPromptAgain = Sjis("コマンド (R:読む N:次 A:もう一度 Q:戻る) ? ");
  std::string roomPrompt = Sjis("会議室番号 : ");
  std::string mailNext = Sjis("[Enter]で次へ、Qで中断 : ");
};

const Vocabulary& Words() {
  static const Vocabulary words;
  return words;
}

struct Forum {
  const char* code;
  std::string_view title;
  std::vector<std::string_view> rooms;
  bool fourDigitYears;
};

// A room of a forum: its messages are numbered on from `next`.
struct Room {
  std::string title;
  int next = 1;
  std::vector<int> recent;  // numbers a reply may answer
};

struct Person {
  std::string id;
  std::string name;
};

class LogWriter {
 public:
  LogWriter(const LogRecipe& recipe, std::string& out)
      : recipe_(recipe), rng_(recipe.seed), out_(out) {
    const auto& w = Words();
    for (int i = 0; i < 60; ++i) {
      Person p;
      // One draw per statement: the order in which a call's arguments or an
      // operator's operands are evaluated differs between compilers.
      for (int letter = 0; letter < 3; ++letter) {
        p.id += static_cast<char>('A' + rng_.Between(0, 25));
      }
      char digits[8];
      std::snprintf(digits, sizeof digits, "%05d", rng_.Between(0, 99999));
      p.id += digits;
      if (rng_.Chance(300)) {
        p.name = rng_.Pick(w.handles);
      } else {
        p.name = rng_.Pick(w.families) + " ";
        p.name += rng_.Pick(w.givens);
      }
      people_.push_back(p);
    }
    forums_ = {
        {"FPCBEG",
         "パソコン初心者の部屋",
         {"お知らせ", "質問コーナー", "雑談", "ソフト情報"},
         false},
        {"FRPG", "ＲＰＧ研究会", {"お知らせ", "セッション募集", "リプレイ", "ルール質問"}, true},
        {"FTRAIN", "鉄道の広場", {"車両", "時刻表", "旅行記"}, false},
        {"FCOOK", "料理と食べ歩き", {"レシピ", "食べ歩き", "雑談"}, true},
    };
    for (const Forum& forum : forums_) {
      std::vector<Room> rooms;
      for (const std::string_view title : forum.rooms) {
        Room room;
        room.title = Sjis(title);
        room.next = rng_.Between(1, 3000);
        rooms.push_back(room);
      }
      rooms_.push_back(rooms);
    }
  }

  void Run() {
    while (lines_ < recipe_.minLines || out_.size() < recipe_.minBytes || lines_ == 0) Session();
    // A capture cut off by the terminal: the last line has no line end.
    if (recipe_.awkward && out_.size() >= 2 && out_.ends_with("\r\n")) out_.resize(out_.size() - 2);
  }

 private:
  void Line(std::string_view text) {
    out_ += text;
    ++lines_;
    if (recipe_.awkward && rng_.Chance(15)) {
      out_ += rng_.Chance(500) ? "\n" : "\r";
    } else {
      out_ += "\r\n";
    }
  }
  void Line(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) text += part;
    Line(text);
  }
  void Utf8Line(std::string_view utf8) { Line(Sjis(utf8)); }

  // --- Dates ---

  std::chrono::year_month_day Day() const {
    return std::chrono::year_month_day{std::chrono::sys_days{std::chrono::days{day_}}};
  }
  // yy/mm/dd hh:mm (or yyyy/mm/dd hh:mm), some hours before the session.
  std::string Stamp(bool fourDigitYear) {
    const auto ymd = std::chrono::year_month_day{
        std::chrono::sys_days{std::chrono::days{day_ - rng_.Between(0, 2)}}};
    const int hour = rng_.Between(0, 23);
    const int minute = rng_.Between(0, 59);
    char text[32];
    const int year = static_cast<int>(ymd.year());
    std::snprintf(text, sizeof text, "%0*d/%02u/%02u %02d:%02d", fourDigitYear ? 4 : 2,
                  fourDigitYear ? year : year % 100, static_cast<unsigned>(ymd.month()),
                  static_cast<unsigned>(ymd.day()), hour, minute);
    return text;
  }

  // --- Sessions ---

  void Session() {
    day_ += rng_.Between(1, 3);
    Line("ATZ");
    Line("OK");
    Line("ATDT0311112222");
    Line(rng_.Chance(800) ? "CONNECT 28800/ARQ/V34/LAPM/V42BIS" : "CONNECT 14400/ARQ/V32/LAPM");
    Line("");
    Utf8Line("*** HIBARI-NET パソコン通信サービス ***");
    Line({Sjis("ユーザーID : "), "HBA01234"});
    Line({Sjis("パスワード : "), "********"});
    Line("");
    Line({Sjis("前回のアクセス  "), Stamp(false)});
    Utf8Line("ようこそ 田中 健一 さん");
    const bool mail = recipe_.kind == LogKind::Mail;
    const int unread = mail ? rng_.Between(1, 8) : 0;
    if (unread > 0) {
      Line({Sjis("新着メールが "), std::to_string(unread), Sjis(" 通あります。")});
    } else {
      Utf8Line("新着メールはありません。");
    }
    Line("");
    MainMenu(true);
    if (mail) {
      Line({Sjis("番号を入力してください (0-5) : "), "1"});
      MailSection(unread);
    } else {
      Line({Sjis("番号を入力してください (0-5) : "), "2"});
      ForumSection();
    }
    Line("");
    MainMenu(false);
    Line({Sjis("番号を入力してください (0-5) : "), "0"});
    Utf8Line("ログアウトします。");
    Utf8Line("ご利用ありがとうございました。");
    char connected[32];
    const int minutes = rng_.Between(1, 59);
    const int seconds = rng_.Between(0, 59);
    std::snprintf(connected, sizeof connected, " %02d:%02d:%02d", 0, minutes, seconds);
    Line({Sjis("接続時間"), connected});
    Line("NO CARRIER");
  }

  void MainMenu(bool full) {
    Utf8Line("＜メインメニュー＞");
    if (!full) return;
    Utf8Line(" 1. メール            2. フォーラム");
    Utf8Line(" 3. 掲示板            4. チャット");
    Utf8Line(" 5. ニュース          0. ログアウト");
  }

  void MailSection(int unread) {
    Line("");
    const std::string menu = Sjis("＜メール＞  1.読む  2.書く  3.一覧  4.削除  0.戻る");
    Line(menu);
    std::vector<std::pair<Person, std::string>> mails;
    for (int i = 0; i < unread; ++i) {
      const Person& sender = rng_.Pick(people_);
      mails.emplace_back(sender, rng_.Pick(Words().subjects));
    }
    if (rng_.Chance(300)) {
      // The list of unread mail: header-shaped lines without date lines.
      Line({Sjis("番号を入力してください (0-4) : "), "3"});
      for (int i = 0; i < unread; ++i) {
        Line(HeaderLine(3, i + 1, unread, mails[i].first, mails[i].second));
      }
      Line(menu);
    }
    Line({Sjis("番号を入力してください (0-4) : "), "1"});
    Utf8Line("未読メールを読みます。");
    Line("");
    for (int i = 0; i < unread; ++i) {
      if (i > 0) Line(Words().mailNext);
      const int answered = i > 0 && rng_.Chance(300) ? rng_.Between(1, i) : 0;
      std::string subject = mails[i].second;
      if (answered > 0) subject = "Re: " + mails[answered - 1].second;
      Message(3, i + 1, unread, mails[i].first, subject, answered, false);
    }
    Utf8Line("メールは以上です。");
    Line(menu);
    Line({Sjis("番号を入力してください (0-4) : "), "0"});
  }

  void ForumSection() {
    const auto& w = Words();
    const int visits = rng_.Between(1, 3);
    for (int v = 0; v < visits; ++v) {
      const std::size_t f = rng_.Next() % forums_.size();
      const Forum& forum = forums_[f];
      Line("");
      Utf8Line("＜フォーラム＞");
      Line({w.forumPrompt, forum.code});
      Line({Sjis("フォーラム「"), Sjis(forum.title), Sjis("」へようこそ")});
      std::vector<Room>& rooms = rooms_[f];
      std::string menu;
      for (std::size_t r = 0; r < rooms.size(); ++r) {
        char number[32];
        std::snprintf(number, sizeof number, " %zu. ", r + 1);
        menu += number + rooms[r].title + (r % 2 == 1 ? "" : "    ");
        if (r % 2 == 1 || r + 1 == rooms.size()) {
          Line(menu);
          menu.clear();
        }
      }
      const std::string& prompt = forum.fourDigitYears ? w.commandPromptAgain : w.commandPrompt;
      const int roomVisits = rng_.Between(1, 3);
      for (int rv = 0; rv < roomVisits; ++rv) {
        const std::size_t r = rng_.Next() % rooms.size();
        Room& room = rooms[r];
        const int unread = rng_.Between(1, 10);
        const int first = room.next;
        const int last = first + unread - 1;
        room.next = last + 1;
        Line({w.roomPrompt, std::to_string(r + 1)});
        Line({Sjis("＜"), room.title, Sjis("＞  未読 "), std::to_string(unread), Sjis(" 件")});

        std::vector<Person> senders;
        std::vector<std::string> subjects;
        std::vector<int> answers;
        for (int n = first; n <= last; ++n) {
          senders.push_back(rng_.Pick(people_));
          const bool reply = !room.recent.empty() && rng_.Chance(400);
          answers.push_back(reply ? room.recent[rng_.Next() % room.recent.size()] : 0);
          std::string subject = reply ? (rng_.Chance(700) ? "Re: " : "Re^2: ") : "";
          subject += rng_.Pick(w.subjects);
          subjects.push_back(subject);
        }
        if (rng_.Chance(300)) {
          Line({prompt, "L"});
          for (int n = first; n <= last; ++n) {
            Line(HeaderLine(5, n, last, senders[n - first], subjects[n - first]));
          }
        }
        Line({prompt, "R"});
        for (int n = first; n <= last; ++n) {
          const std::size_t k = static_cast<std::size_t>(n - first);
          Message(5, n, last, senders[k], subjects[k], answers[k], forum.fourDigitYears);
          Line("");
          room.recent.push_back(n);
          if (room.recent.size() > 20) room.recent.erase(room.recent.begin());
          if (n == last && rng_.Chance(100)) {
            // The user reads the last message again: the same file is written twice.
            Line({prompt, "A"});
            Message(5, n, last, senders[k], subjects[k], answers[k], forum.fourDigitYears);
            Line("");
          }
        }
        Line({prompt, "Q"});
      }
      Line({w.roomPrompt, "0"});
    }
  }

  // --- Messages ---

  static std::string Number(int width, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value % (width == 3 ? 1000 : 100000));
    return text;
  }

  // The sender's name padded to 14 columns (a double-byte character is two
  // columns and two bytes), at least three spaces.
  static std::string PaddedName(const std::string& name) {
    std::string padded = name + "   ";
    while (padded.size() < 14) padded += ' ';
    return padded;
  }

  std::string HeaderLine(int width, int number, int highest, const Person& who,
                         const std::string& subject) {
    std::string line = Number(width, number) + "/" + Number(width, highest) + "  " + who.id + "  " +
                       PaddedName(who.name) + subject;
    if (recipe_.awkward && rng_.Chance(30)) line = AwkwardHeader(width, line);
    return line;
  }

  void Message(int width, int number, int highest, const Person& who, const std::string& subject,
               int answered, bool fourDigitYear) {
    const auto& w = Words();
    Line(HeaderLine(width, number, highest, who, subject));
    std::string date = Stamp(fourDigitYear);
    if (answered > 0) {
      date += (width == 5 && !fourDigitYear) ? "   " : "  ";
      date += Number(width, answered) + w.comment;
    }
    if (recipe_.awkward && rng_.Chance(40)) date = AwkwardDate(width, date);
    Line(date);
    if (recipe_.awkward && rng_.Chance(30)) return;  // no body at all

    const std::string self = who.name.substr(0, who.name.find(' '));
    if (answered > 0) {
      Line({rng_.Pick(w.families), w.greetReply, self, w.said});
      Line("");
      const int quoted = rng_.Between(1, 3);
      for (int q = 0; q < quoted; ++q) Line({"> ", rng_.Pick(w.sentences)});
    } else {
      Line({self, w.said});
    }
    const int paragraphs = rng_.Between(1, 4);
    for (int p = 0; p < paragraphs; ++p) {
      Line("");
      const int lines = rng_.Between(1, 4);
      for (int l = 0; l < lines; ++l) BodyLine();
    }
    if (rng_.Chance(250)) {
      const int lines = rng_.Between(2, 3);
      for (int l = 0; l < lines; ++l) Line(rng_.Pick(w.indented));
    }
    if (rng_.Chance(100)) Line(rng_.Pick(w.kana));
    if (rng_.Chance(100)) Line(rng_.Pick(w.ascii));
    if (rng_.Chance(400)) {
      Line("--");
      Line(rng_.Chance(500) ? who.name : who.name + " (" + who.id + ")");
    }
  }

  void BodyLine() {
    const auto& w = Words();
    std::string line = rng_.Pick(w.sentences);
    if (rng_.Chance(300)) line += rng_.Pick(w.sentences);
    if (recipe_.awkward && rng_.Chance(40)) line = AwkwardBody(line);
    Line(line);
  }

  // --- Awkward shapes (only with recipe.awkward) ---

  std::string AwkwardHeader(int width, const std::string& line) {
    const std::string wide = Sjis("　");
    switch (rng_.Between(0, 9)) {
      case 0:  // a number with a character no file name may hold
        return width == 3 ? "0?" + line.substr(2) : "0*" + line.substr(2);
      case 1:  // a double-byte code that code page 932 leaves unassigned
        return width == 3 ? "1\x85\x40"
                            "1" +
                                line.substr(3)
                          : "1\x85\x40"
                            "11" +
                                line.substr(4);
      case 2:  // the numbers and nothing else
        return line.substr(0, static_cast<std::size_t>(2 * width + 1)) + "  ";
      case 3:  // a full-width space in the second number (column 9 of width 5)
        return width == 5 ? line.substr(0, 8) + wide + line.substr(9) : line + wide + "x";
      case 4:  // the name without a space after it
        return line.substr(0, static_cast<std::size_t>(2 * width + 13)) + "  " + Words().handles[0];
      case 5:  // a seven-character ID
        return line.substr(0, static_cast<std::size_t>(2 * width + 3)) + "ABC1234 " +
               line.substr(static_cast<std::size_t>(2 * width + 11));
      case 6:  // a full-width digit in column 1: no header line
        return Sjis("１") + line.substr(1);
      case 7:  // tabs between the fields
        return line.substr(0, static_cast<std::size_t>(2 * width + 1)) + "\t" +
               line.substr(static_cast<std::size_t>(2 * width + 1));
      case 8:  // twelve characters: too short to be a header line
        return line.substr(0, 12);
      default:  // full-width spaces between the fields
        return line.substr(0, static_cast<std::size_t>(2 * width + 1)) + wide + wide +
               line.substr(static_cast<std::size_t>(2 * width + 3));
    }
  }

  std::string AwkwardDate(int width, const std::string& date) {
    switch (rng_.Between(0, 6)) {
      case 0:
        return "99/13/45 25:61";
      case 1:
        return "/04/12 10:00";
      case 2:  // a reply marker before the date
        return Number(width, 7) + Sjis("へ") + " " + date;
      case 3:  // the marker within the first columns
        return Sjis("へのコメント ") + date;
      case 4:  // two dates
        return date + "  98/02/29 11:11  96/02/29 12:12";
      case 5:  // no date at all, yet a ":" and a "/"
        return "a/b:c";
      default:  // another header-shaped line as the date line
        return Number(width, 1) + "/" + Number(width, 2) + "  XYZ00001  " + Sjis("森 翔") +
               "  12:00";
    }
  }

  std::string AwkwardBody(const std::string& line) {
    switch (rng_.Between(0, 8)) {
      case 0:
        return "eof";
      case 1:  // bytes that are no character: 0x80, 0xA0, 0xFD to 0xFF
        return line + "\x80\xA0\xFD\xFE\xFF";
      case 2:  // a lead byte at the end of the line
        return line + "\x82";
      case 3:  // a lead byte before a byte that cannot trail it
        return "\x81 " + line;
      case 4: {  // a very long line (beyond 32,767 characters now and then)
        std::string longLine;
        const int repeats = rng_.Chance(300) ? 1500 : rng_.Between(20, 200);
        for (int i = 0; i < repeats; ++i) longLine += line;
        return longLine;
      }
      case 5:  // control characters
        return std::string("\t") + '\0' + "\x1B[0m" + line;
      case 6:  // header-shaped, but the next line holds no ":" and "/"
        return "123/456  " + line;
      case 7:  // only full-width spaces
        return Sjis("　　　");
      default:  // only blanks
        return "    ";
    }
  }

  const LogRecipe& recipe_;
  Rng rng_;
  std::string& out_;
  std::size_t lines_ = 0;
  // Days since 1970-01-01; logs start in spring 1996.
  int day_ = 9587;
  std::vector<Person> people_;
  std::vector<Forum> forums_;
  std::vector<std::vector<Room>> rooms_;
};

}  // namespace

std::string GenerateLog(const LogRecipe& recipe) {
  std::string out;
  out.reserve(recipe.minBytes + recipe.minLines * 48 + 4096);
  LogWriter(recipe, out).Run();
  return out;
}

std::size_t CountLines(const std::string& log) {
  std::size_t lines = 0;
  for (std::size_t i = 0; i < log.size(); ++i) {
    if (log[i] == '\n' || (log[i] == '\r' && (i + 1 == log.size() || log[i + 1] != '\n'))) ++lines;
  }
  if (!log.empty() && log.back() != '\n' && log.back() != '\r') ++lines;
  return lines;
}

}  // namespace tav::bench
