// The widget's texts in the user's language, as a person meets them: the built program's
// `tree` and `describe` under each language's locale, gettext's choice through LANGUAGE
// message by message, and the catalogs `cmake --install` puts in place.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/bridge_publish.hpp"
#include "support/files.hpp"
#include "support/process.hpp"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using Environment = std::map<std::string, std::optional<std::string>>;

const fs::path widgetProgram = JOTBIRD_WIDGETS_PATH;
const fs::path buildDirectory = JOTBIRD_BUILD_DIR;
const fs::path sourceDirectory = JOTBIRD_SOURCE_DIR;

// The texts a person reads in one language.
struct Wording {
    std::string locale;     // LANG
    std::string nothing;    // 暂无待办: no notes, none folded
    std::string allFolded;  // 待办已折叠: no notes, some folded
    std::string jot;        // 记下一件事: the add button
    std::string folded3;    // 已折叠 %lld with 3, in the locale's digits
    std::string untitled;   // 新便签: a note without a title
    std::string description;
};

const std::vector<Wording> wordings{
    {"C", "暂无待办", "待办已折叠", "记下一件事", "已折叠 3", "新便签",
     "桌面上的待办与提醒，点一下回到便签。"},
    {"zh_CN.UTF-8", "暂无待办", "待办已折叠", "记下一件事", "已折叠 3", "新便签",
     "桌面上的待办与提醒，点一下回到便签。"},
    {"en_US.UTF-8", "Nothing to do", "To-dos folded", "Jot something down", "3 folded", "New note",
     "Your to-dos and reminders on the desktop. Click one to go back to your notes."},
    {"de_DE.UTF-8", "Keine Aufgaben", "Aufgaben eingeklappt", "Etwas notieren", "3 eingeklappt",
     "Neue Notiz",
     "Aufgaben und Erinnerungen auf dem Schreibtisch. Ein Klick führt zurück zu den Notizen."},
    {"fr_FR.UTF-8", "Rien à faire", "Tâches repliées", "Noter quelque chose", "3 repliées",
     "Nouvelle note", "Vos tâches et rappels sur le bureau. Un clic vous ramène à vos notes."},
    {"es_ES.UTF-8", "Nada pendiente", "Tareas plegadas", "Anotar algo", "3 plegadas", "Nota nueva",
     "Tus tareas y recordatorios en el escritorio. Un clic te devuelve a tus notas."},
    {"it_IT.UTF-8", "Niente da fare", "Attività compresse", "Annota qualcosa", "3 compresse",
     "Nuova nota", "Attività e promemoria sul desktop. Un clic ti riporta alle note."},
    {"pt_BR.UTF-8", "Nada a fazer", "Tarefas recolhidas", "Anotar algo", "3 recolhidas",
     "Nova nota",
     "Suas tarefas e lembretes na área de trabalho. Um clique leva de volta às notas."},
    {"ru_RU.UTF-8", "Нет задач", "Задачи свёрнуты", "Записать что-то", "Свёрнуто: 3",
     "Новая заметка", "Задачи и напоминания на рабочем столе. Щелчок вернёт к заметкам."},
    {"uk_UA.UTF-8", "Немає завдань", "Завдання згорнуто", "Записати щось", "Згорнуто: 3",
     "Нова нотатка", "Завдання й нагадування на стільниці. Клацання поверне до нотаток."},
    {"pl_PL.UTF-8", "Brak zadań", "Zadania zwinięte", "Zanotuj coś", "Zwinięte: 3", "Nowa notatka",
     "Zadania i przypomnienia na pulpicie. Kliknięcie przenosi z powrotem do notatek."},
    {"nl_NL.UTF-8", "Niets te doen", "Taken ingeklapt", "Iets noteren", "3 ingeklapt",
     "Nieuwe notitie",
     "Je taken en herinneringen op het bureaublad. Eén klik brengt je terug naar je notities."},
    {"tr_TR.UTF-8", "Yapılacak bir şey yok", "Yapılacaklar daraltıldı", "Bir şey not al",
     "3 daraltıldı", "Yeni not",
     "Yapılacaklarınız ve anımsatıcılarınız masaüstünde. Tıklayınca notlarınıza dönersiniz."},
    {"ja_JP.UTF-8", "やることはありません", "タスクは折りたたみ中", "メモする", "3 件を折りたたみ",
     "新規メモ", "デスクトップにタスクとリマインダーを表示します。クリックするとメモに戻ります。"},
    {"ko_KR.UTF-8", "할 일 없음", "할 일 접힘", "메모하기", "3개 접힘", "새 메모",
     "데스크톱의 할 일과 미리 알림. 클릭하면 메모로 돌아갑니다."},
    // Traditional characters, and each region's own words.
    {"zh_TW.UTF-8", "沒有待辦事項", "待辦事項已收合", "記下一件事", "已收合 3 項", "新便條",
     "桌面上的待辦事項與提醒，點一下即可回到便條。"},
    {"zh_HK.UTF-8", "沒有待辦事項", "待辦事項已摺疊", "記下一件事", "已摺疊 3 項", "新便條",
     "桌面上的待辦事項與提示，按一下即可返回便條。"},
    {"ar_EG.UTF-8", "لا توجد مهام", "المهام مطوية", "دوّن شيئًا", "مطوية: ٣", "ملاحظة جديدة",
     "مهامك وتذكيراتك على سطح المكتب. انقر على أيّ منها للعودة إلى ملاحظاتك."},
    {"he_IL.UTF-8", "אין משימות", "המשימות מקופלות", "לרשום משהו", "מקופלות: 3", "פתק חדש",
     "המשימות והתזכורות שלך על שולחן העבודה. לחיצה מחזירה אל הפתקים."},
    {"hi_IN.UTF-8", "कोई काम नहीं", "काम समेटे गए", "कुछ लिख लें", "3 समेटे गए", "नया नोट",
     "डेस्कटॉप पर आपके काम और रिमाइंडर। क्लिक करके अपने नोट पर लौटें।"},
    {"vi_VN.UTF-8", "Không có việc cần làm", "Đã thu gọn việc cần làm", "Ghi lại điều gì đó",
     "Đã thu gọn 3", "Ghi chú mới",
     "Việc cần làm và lời nhắc trên màn hình nền. Nhấp để quay lại ghi chú."},
    {"id_ID.UTF-8", "Tidak ada tugas", "Tugas diciutkan", "Catat sesuatu", "3 diciutkan",
     "Catatan baru", "Tugas dan pengingat Anda di desktop. Klik untuk kembali ke catatan."},
    {"th_TH.UTF-8", "ไม่มีสิ่งที่ต้องทำ", "ยุบสิ่งที่ต้องทำแล้ว", "จดบางอย่าง", "ยุบแล้ว 3 รายการ", "โน้ตใหม่",
     "สิ่งที่ต้องทำและการเตือนบนเดสก์ท็อป คลิกเพื่อกลับไปที่โน้ต"},
};

// The widget's containers: one snapshot each, published once by the real bridge.
class Translations : public testing::Test {
protected:
    static inline testsupport::TemporaryDirectory* homes = nullptr;

    static void SetUpTestSuite() {
        homes = new testsupport::TemporaryDirectory;  // NOLINT: lives for the suite
        publish("nothing", R"({"schema":1,"updatedAt":0,"account":"","total":0,"notes":[]})");
        publish("folded",
                R"({"schema":1,"updatedAt":0,"account":"","total":0,"notes":[],"folded":3})");
        for (int count : {1, 2, 5, 11, 21, 101})
            publish("folded" + std::to_string(count),
                    R"({"schema":1,"updatedAt":0,"account":"","total":1,"notes":[)"
                    R"({"id":"u","title":""}],"folded":)" +
                        std::to_string(count) + "}");
    }
    static void TearDownTestSuite() {
        delete homes;
        homes = nullptr;
    }
    static void publish(const std::string& name, const std::string& snapshot) {
        testsupport::publishOrFail(snapshot, homes->path() / name);
    }

    // Every locale variable unset but those given, so the machine's settings never leak in.
    static testsupport::ProcessResult run(const std::vector<std::string>& arguments,
                                          const Environment& settings,
                                          const std::string& home = "nothing",
                                          const fs::path& program = widgetProgram) {
        testsupport::ProcessOptions options;
        options.arguments = arguments;
        options.environment = {{"XDG_DATA_HOME", (homes->path() / home).string()}, {"TZ", "UTC"}};
        for (const char* name :
             {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LC_NUMERIC", "LC_TIME", "LANG"})
            options.environment[name] = std::nullopt;
        for (const auto& [name, value] : settings)
            options.environment[name] = value;
        return testsupport::runProcess(program, options);
    }

    // key -> text of every text node of the small widget's tree.
    static std::map<std::string, std::string> texts(const Environment& settings,
                                                    const std::string& home,
                                                    const fs::path& program = widgetProgram) {
        const auto result = run({"tree", "--family", "small"}, settings, home, program);
        EXPECT_EQ(result.exitStatus, 0) << testsupport::describe(result);
        std::map<std::string, std::string> found;
        collect(Json::parse(result.standardOutput, nullptr, false), found);
        return found;
    }

    static void collect(const Json& node, std::map<std::string, std::string>& found) {
        if (!node.is_object()) return;
        if (node.contains("key") && node.contains("text")) found[node["key"]] = node["text"];
        for (const Json& child : node.value("children", Json::array()))
            collect(child, found);
    }

    static std::string description(const Environment& settings,
                                   const fs::path& program = widgetProgram) {
        const auto result = run({"describe"}, settings, "nothing", program);
        EXPECT_EQ(result.exitStatus, 0) << testsupport::describe(result);
        return Json::parse(result.standardOutput, nullptr, false).value("description", "");
    }
};

TEST_F(Translations, EveryFixedTextShowsInEachLanguage) {
    for (const Wording& w : wordings) {
        SCOPED_TRACE(w.locale);
        const Environment lang{{"LANG", w.locale}};
        EXPECT_EQ(texts(lang, "nothing")["暂无待办"], w.nothing);
        auto folded = texts(lang, "folded");
        EXPECT_EQ(folded["待办已折叠"], w.allFolded);
        EXPECT_EQ(folded["记下一件事"], w.jot);
        EXPECT_EQ(folded["已折叠 %lld"], w.folded3);
        EXPECT_EQ(texts(lang, "folded2")["新便签"], w.untitled);
        EXPECT_EQ(description(lang), w.description);
    }
}

// ngettext picks the form by each language's own rule.
TEST_F(Translations, CountsTakeTheLanguagesPluralForms) {
    struct Case {
        std::string locale;
        int count;
        std::string shown;
    };
    for (const Case& c : std::vector<Case>{{"fr_FR.UTF-8", 1, "1 repliée"},
                                           {"fr_FR.UTF-8", 2, "2 repliées"},
                                           {"pt_BR.UTF-8", 1, "1 recolhida"},
                                           {"pt_BR.UTF-8", 5, "5 recolhidas"},
                                           {"es_ES.UTF-8", 1, "1 plegada"},
                                           {"es_ES.UTF-8", 2, "2 plegadas"},
                                           {"hi_IN.UTF-8", 1, "1 समेटा गया"},
                                           {"hi_IN.UTF-8", 21, "21 समेटे गए"},
                                           {"ru_RU.UTF-8", 21, "Свёрнуто: 21"},
                                           {"ar_EG.UTF-8", 101, "مطوية: ١٠١"},
                                           {"C", 11, "已折叠 11"}}) {
        SCOPED_TRACE(c.locale + " " + std::to_string(c.count));
        EXPECT_EQ(texts({{"LANG", c.locale}}, "folded" + std::to_string(c.count))["已折叠 %lld"],
                  c.shown);
    }
}

// The count and the badge in the digits of the locale's own number format, as its times of
// day are written; LC_NUMERIC decides, as it does for every program.
TEST_F(Translations, NumbersTakeTheLocalesDigits) {
    struct Case {
        Environment settings;
        std::string count, badge;
    };
    for (const Case& c : std::vector<Case>{
             {{{"LANG", "ar_EG.UTF-8"}}, "١", "مطوية: ٢١"},
             {{{"LANG", "fa_IR.UTF-8"}}, "۱", "已折叠 ۲۱"},
             {{{"LANG", "bn_BD.UTF-8"}}, "১", "已折叠 ২১"},
             {{{"LANG", "my_MM.UTF-8"}}, "၁", "已折叠 ၂၁"},
             {{{"LANG", "hi_IN.UTF-8"}}, "1", "21 समेटे गए"},
             {{{"LANG", "de_DE.UTF-8"}}, "1", "21 eingeklappt"},
             {{{"LANG", "C"}}, "1", "已折叠 21"},
             {{{"LANG", "ar_EG.UTF-8"}, {"LC_NUMERIC", "C"}}, "1", "مطوية: 21"},
         }) {
        SCOPED_TRACE(c.settings.begin()->second.value_or(""));
        auto shown = texts(c.settings, "folded21");
        EXPECT_EQ(shown["%lld"], c.count);
        EXPECT_EQ(shown["已折叠 %lld"], c.badge);
    }
}

// One line height per text style whatever the locale and its translation: every text node
// of the medium widget, titles in many scripts among them, sits at the same height and is
// as tall as under C, so rows, margins and the footer stay where they belong.
TEST_F(Translations, EveryLocaleHasTheSameLineHeightsAndRows) {
    publish("scripts",
            R"({"schema":1,"updatedAt":0,"account":"","total":5,"folded":2,"notes":[)"
            R"({"id":"a","title":"Buy milk","remindAt":1700039100000},)"
            R"({"id":"b","title":"会议 اجتماع ١٢"},)"
            R"({"id":"c","title":"ประชุม बैठक פגישה အစည်းအဝေး","remindAt":1700000360000}]})");
    const auto geometry = [&](const std::string& lang) {
        const auto result = run({"tree", "--family", "medium"}, {{"LANG", lang}}, "scripts");
        EXPECT_EQ(result.exitStatus, 0) << testsupport::describe(result);
        std::vector<std::array<double, 2>> found;  // y and height of each text and link
        const std::function<void(const Json&)> walk = [&](const Json& node) {
            const std::string type = node.value("type", "");
            if (type == "Text" || type == "Link" || type == "Divider")
                found.push_back({node["frame"][1].get<double>(), node["frame"][3].get<double>()});
            for (const Json& child : node.value("children", Json::array()))
                walk(child);
        };
        walk(Json::parse(result.standardOutput, nullptr, false));
        return found;
    };
    const auto plain = geometry("C");
    ASSERT_GE(plain.size(), 10u);
    for (const char* lang : {"zh_CN.UTF-8", "ja_JP.UTF-8", "ar_EG.UTF-8", "fa_IR.UTF-8",
                             "th_TH.UTF-8", "hi_IN.UTF-8", "he_IL.UTF-8", "my_MM.UTF-8"}) {
        SCOPED_TRACE(lang);
        const auto other = geometry(lang);
        ASSERT_EQ(other.size(), plain.size());
        for (std::size_t i = 0; i < plain.size(); ++i) {
            EXPECT_NEAR(other[i][0], plain[i][0], 1e-9) << "y of node " << i;
            EXPECT_NEAR(other[i][1], plain[i][1], 1e-9) << "height of node " << i;
        }
    }
}

// gettext's own choice: LANGUAGE in order once the messages locale is a real one, never
// under plain C; and a locale the machine lacks still shows its language.
TEST_F(Translations, TheLanguageIsChosenAsGettextChoosesIt) {
    struct Case {
        Environment settings;
        std::string jot;
    };
    for (const Case& c : std::vector<Case>{
             {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "xx:fr:de"}}, "Noter quelque chose"},
             {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "pt_PT:it"}}, "Annota qualcosa"},
             {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}}, "メモする"},
             {{{"LC_ALL", "ko_KR.UTF-8"}, {"LANG", "de_DE.UTF-8"}}, "메모하기"},
             {{{"LANG", "nl_BE.UTF-8"}}, "Iets noteren"},  // nl_BE, then nl
             {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "tr"}}, "Bir şey not al"},
             {{{"LANG", "C"}, {"LANGUAGE", "de"}}, "记下一件事"},  // C ignores LANGUAGE
             {{{"LANGUAGE", "de"}}, "记下一件事"},                 // so does no locale at all
             {{{"LANG", "de_XX.UTF-8"}}, "Etwas notieren"},        // not on this machine
             {{{"LANG", "pt_PT.UTF-8"}}, "记下一件事"},            // no catalog: the key
             {{{"LANG", "zh_SG.UTF-8"}}, "记下一件事"},
         }) {
        std::string trace;
        for (const auto& [name, value] : c.settings)
            trace += name + "=" + value.value_or("") + " ";
        SCOPED_TRACE(trace);
        EXPECT_EQ(texts(c.settings, "folded")["记下一件事"], c.jot);
    }
}

// A copy of the program beside catalogs of its own: one whose German lacks a message.
class PartialCatalogs : public Translations {
protected:
    testsupport::TemporaryDirectory tree;
    fs::path program = tree.path() / "bin" / "JotbirdWidgets";

    void SetUp() override {
        fs::create_directories(tree.path() / "bin");
        fs::copy_file(widgetProgram, program);
        for (const char* language : {"de", "fr"}) {
            const fs::path folder = tree.path() / "share" / "locale" / language / "LC_MESSAGES";
            fs::create_directories(folder);
            std::string po = sourceDirectory / "po" / (std::string(language) + ".po");
            if (std::string(language) == "de") po = withoutMessage(po, "记下一件事");
            testsupport::ProcessOptions options;
            options.arguments = {"-o", (folder / "jotbird-widgets.mo").string(), po};
            const auto result = testsupport::runProcess("/usr/bin/msgfmt", options);
            ASSERT_EQ(result.exitStatus, 0) << testsupport::describe(result);
        }
    }

    // The catalog with one message's translation emptied, as a translator leaves it undone.
    std::string withoutMessage(const fs::path& po, const std::string& key) {
        std::string text = testsupport::readFile(po).value();
        const std::string entry = "msgid \"" + key + "\"\nmsgstr \"";
        const auto at = text.find(entry);
        EXPECT_NE(at, std::string::npos);
        const auto start = at + entry.size();
        text.erase(start, text.find('"', start) - start);
        const fs::path out = tree.path() / "de.po";
        testsupport::writeFile(out, text);
        return out.string();
    }
};

TEST_F(PartialCatalogs, AMessageALanguageLacksFallsToTheNextLanguage) {
    const auto both = texts({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "de:fr"}}, "folded", program);
    EXPECT_EQ(both.at("待办已折叠"), "Aufgaben eingeklappt");
    EXPECT_EQ(both.at("记下一件事"), "Noter quelque chose");
    // With no language after it, the key itself shows.
    const auto alone = texts({{"LANG", "de_DE.UTF-8"}}, "folded", program);
    EXPECT_EQ(alone.at("待办已折叠"), "Aufgaben eingeklappt");
    EXPECT_EQ(alone.at("记下一件事"), "记下一件事");
}

// `cmake --install` of the build tree: every language's catalog, found by the installed
// program beside its bin directory; the desktop entry and metainfo with their translations.
TEST_F(Translations, TheInstalledTreeHasEveryCatalogAndUsesThem) {
    testsupport::TemporaryDirectory prefix;
    testsupport::ProcessOptions options;
    options.arguments = {"--install", buildDirectory.string(), "--prefix", prefix.path().string()};
    const auto installed = testsupport::runProcess(JOTBIRD_CMAKE_COMMAND, options);
    ASSERT_EQ(installed.exitStatus, 0) << testsupport::describe(installed);
    const std::string linguas = testsupport::readFile(sourceDirectory / "po" / "LINGUAS").value();
    std::istringstream lines(linguas);
    int languages = 0;
    for (std::string language; std::getline(lines, language);) {
        if (language.empty() || language[0] == '#') continue;
        ++languages;
        EXPECT_TRUE(fs::is_regular_file(prefix.path() / "share" / "locale" / language /
                                        "LC_MESSAGES" / "jotbird-widgets.mo"))
            << language;
    }
    EXPECT_GE(languages, 21);
    const fs::path program = prefix.path() / "bin" / "JotbirdWidgets";
    EXPECT_EQ(texts({{"LANG", "pl_PL.UTF-8"}}, "folded", program).at("记下一件事"), "Zanotuj coś");
    EXPECT_EQ(description({{"LANG", "zh_TW.UTF-8"}}, program),
              "桌面上的待辦事項與提醒，點一下即可回到便條。");

    const std::string entry = testsupport::readFile(prefix.path() / "share" / "applications" /
                                                    "jotbird-widgets-desktop.desktop")
                                  .value();
    for (const char* line :
         {"\nName=Jotbird Widgets\n", "\nName[de]=Jotbird-Widgets\n",
          "\nName[zh_TW]=Jotbird 小工具\n",
          "\nComment[fr]=Notes épinglées et rappels de Jotbird, sur le bureau\n"})
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    const std::string metainfo = testsupport::readFile(prefix.path() / "share" / "metainfo" /
                                                       "jotbird.notes.Widgets.metainfo.xml")
                                     .value();
    for (const char* element :
         {R"(<summary xml:lang="ja">Jotbird でピン留めしたメモとリマインダーをデスクトップに</summary>)",
          R"(<p xml:lang="ar">النقر على ملاحظة يفتحها في التطبيق؛)"})
        EXPECT_NE(metainfo.find(element), std::string::npos) << element;
}

}  // namespace
