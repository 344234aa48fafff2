// The built launcher, black box: a registered Java runtime whose javaw.exe is
// the probe, the wizard files beside the launcher or carried in it, Java
// installers that register a runtime, and the messages it shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "launcher_run.h"
#include "support.h"

namespace {

TEST_F(LauncherRun, StartsTheWizardWithTheFilesBesideItAndTheArgumentsInOrder)
{
    RegisterJava(L"1.6");
    Place(L"archive.jar");
    Place(L"archive.gif");
    Install(BuiltProgram(L"wizstart.exe"));
    ProcessResult run = Launch(L" en \"x y\"");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(run.messages.empty());
    auto wizard = Runs(L"\\javaw.exe");
    ASSERT_EQ(1u, wizard.size());
    EXPECT_EQ(JavaProgram() + L" -splash:\"" + app + L"\\archive.gif\" -jar \"" + app + L"\\archive.jar\" \"en\" \"x y\"",
              wizard[0].commandLine);
    EXPECT_EQ(app, wizard[0].currentFolder);
    EXPECT_TRUE(wizard[0].ended);  // waited for
    EXPECT_TRUE(PathExists(app + L"\\archive.jar"));
    EXPECT_TRUE(PathExists(app + L"\\archive.gif"));
}

TEST_F(LauncherRun, WithoutAPictureTheWizardGetsNoSplashOption)
{
    RegisterJava(L"1.6");
    Place(L"archive.jar");
    Install(BuiltProgram(L"wizstart.exe"));
    Launch();
    auto wizard = Runs(L"\\javaw.exe");
    ASSERT_EQ(1u, wizard.size());
    EXPECT_EQ(JavaProgram() + L" -jar \"" + app + L"\\archive.jar\"", wizard[0].commandLine);
}

TEST_F(LauncherRun, FindsItsFilesBesideItselfWhateverItsStarterCalledIt)
{
    // Started by a bare name from another folder: the files beside the
    // running program are used, not those of a folder named "wizstart".
    RegisterJava(L"1.6");
    Place(L"archive.jar");
    Install(BuiltProgram(L"wizstart.exe"));
    CreateDirectoryW((scratch / L"wizstart").c_str(), nullptr);
    ProcessResult run = RunProgramAs(app + L"\\wizstart.exe", L"wizstart en", scratch.Path());
    EXPECT_TRUE(run.messages.empty()) << run.messages[0].text;
    auto wizard = Runs(L"\\javaw.exe");
    ASSERT_EQ(1u, wizard.size());
    EXPECT_EQ(JavaProgram() + L" -jar \"" + app + L"\\archive.jar\" \"en\"", wizard[0].commandLine);
    EXPECT_EQ(app, wizard[0].currentFolder);
}

// The system's own text for a path or command line that is too long.
std::wstring TooLongText()
{
    wchar_t text[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILENAME_EXCED_RANGE, 0,
                   text, 512, nullptr);
    return text;
}

TEST_F(LauncherRun, ALaunchWhoseArgumentsOrCommandLineDoNotFitIsRefusedAndSaysWhy)
{
    RegisterJava(L"1.6");
    Place(L"archive.jar");
    Install(BuiltProgram(L"wizstart.exe"));
    const struct {
        const char* what;
        std::wstring arguments;
    } cases[] = {
        // More than the 259 characters the arguments have: never cut.
        {"arguments", L" first " + std::wstring(150, L'a') + L" " + std::wstring(150, L'b')},
        // They fit alone, not behind the Java program and the archive.
        {"command line", L" " + std::wstring(200, L'c')},
    };
    for (const auto& c : cases) {
        DeleteFileW(record.c_str());
        ProcessResult run = Launch(c.arguments);
        EXPECT_EQ(0u, run.exitCode) << c.what;
        ASSERT_EQ(1u, run.messages.size()) << c.what;
        EXPECT_EQ(TooLongText(), run.messages[0].text) << c.what;
        EXPECT_TRUE(Runs(L"\\javaw.exe").empty()) << c.what << ": the wizard must not start";
    }
}

TEST_F(LauncherRun, AnOlderRegisteredRuntimeIsStillStarted)
{
    RegisterJava(L"1.5");
    Place(L"archive.jar");
    Install(BuiltProgram(L"wizstart.exe"));
    ProcessResult run = Launch();
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(1u, Runs(L"\\javaw.exe").size());
}

TEST_F(LauncherRun, WithoutAUsableJavaItShowsMessage1AndStartsNothing)
{
    Place(L"archive.jar");
    Install(BuiltProgram(L"wizstart.exe"));
    enum Case { kNothing, kVersionOnly, kHomeWithoutProgram };
    for (Case c : {kNothing, kVersionOnly, kHomeWithoutProgram}) {
        ClearRegistry();
        if (c == kVersionOnly) SetMachineString(kJavaKey, L"CurrentVersion", L"1.6");
        if (c == kHomeWithoutProgram) {
            SetMachineString(kJavaKey, L"CurrentVersion", L"1.6");
            SetMachineString(std::wstring(kJavaKey) + L"\\1.6", L"JavaHome", scratch / L"no java here");
        }
        ProcessResult run = Launch();
        EXPECT_EQ(0u, run.exitCode) << c;
        ASSERT_EQ(1u, run.messages.size()) << c;
        EXPECT_EQ(L"wizstart", run.messages[0].caption);
        EXPECT_EQ(0u, run.messages[0].text.find(kMessage1Start)) << run.messages[0].text;
        EXPECT_NE(std::wstring::npos, run.messages[0].text.find(L"Orvalen 14"));
    }
    EXPECT_TRUE(Runs(L"\\javaw.exe").empty());
}

TEST_F(LauncherRun, AMissingArchiveIsNamedInMessage2InTheUsersLanguage)
{
    RegisterJava(L"1.6");
    Install(BuiltProgram(L"wizstart.exe"));
    // The user's language is Wine's, from the test's own locale: CTest runs
    // this test once more under a German (Austrian) one.
    const wchar_t* expected = nullptr;
    switch (PRIMARYLANGID(GetUserDefaultUILanguage())) {
    case LANG_ENGLISH: expected = L"\" file is missing."; break;
    case LANG_GERMAN: expected = L"\" Datei fehlt"; break;
    default: GTEST_SKIP() << "no expectation for this language";
    }
    ProcessResult run = Launch();
    ASSERT_EQ(1u, run.messages.size());
    EXPECT_EQ(L"\"" + app + L"\\archive.jar" + expected, run.messages[0].text);
    EXPECT_EQ(L"wizstart", run.messages[0].caption);
    EXPECT_TRUE(Runs(L"\\javaw.exe").empty());
}

TEST_F(LauncherRun, CarriedWizardFilesGoToATickFolderAndAreRemovedAfterwards)
{
    RegisterJava(L"1.6");
    Place(L"archive.gif");
    const struct {
        const wchar_t* variant;
        bool pictureCarried;
    } cases[] = {{L"jar", false}, {L"jar_gif", true}};
    for (const auto& c : cases) {
        DeleteFileW(record.c_str());
        Install(Variant(c.variant));
        ProcessResult run = Launch();
        EXPECT_TRUE(run.messages.empty()) << c.variant;
        auto wizard = Runs(L"\\javaw.exe");
        ASSERT_EQ(1u, wizard.size()) << c.variant;
        const std::wstring& line = wizard[0].commandLine;
        size_t jar = line.find(L" -jar \"");
        ASSERT_NE(std::wstring::npos, jar) << line;
        std::wstring jarPath = line.substr(jar + 7, line.size() - jar - 8);
        std::wstring tickFolder = jarPath.substr(0, jarPath.find_last_of(L'\\'));
        EXPECT_EQ(SystemTemp(), tickFolder.substr(0, tickFolder.find_last_of(L'\\'))) << line;
        EXPECT_EQ(L"\\archive.jar", jarPath.substr(tickFolder.size())) << line;
        std::wstring splash = c.pictureCarried ? tickFolder + L"\\archive.gif" : app + L"\\archive.gif";
        EXPECT_EQ(JavaProgram() + L" -splash:\"" + splash + L"\" -jar \"" + jarPath + L"\"", line);
        EXPECT_FALSE(PathExists(tickFolder)) << "removed after the wizard: " << c.variant;
        EXPECT_TRUE(PathExists(app + L"\\archive.gif")) << "the picture beside the launcher stays";
    }
}

TEST_F(LauncherRun, InstallsJavaOnlyWhenTheRegisteredVersionIsOlderThan16)
{
    Place(L"archive.jar");
    Install(Variant(L"jre"));
    const struct {
        const wchar_t* version;  // null: none registered
        bool installs;
    } cases[] = {{L"1.6", false}, {L"1.7", false}, {L"10", false}, {L"1.5", true},
                 {L"1.4.2", true}, {L"1", true},     {nullptr, true}};
    for (const auto& c : cases) {
        ClearRegistry();
        DeleteFileW(record.c_str());
        if (c.version) RegisterJava(c.version);
        ProcessResult run = Launch();
        EXPECT_EQ(0u, run.exitCode);
        EXPECT_EQ(c.installs ? 1u : 0u, Runs(L"\\JRE.exe").size()) << (c.version ? c.version : L"(none)");
    }
}

const wchar_t kWineOverrides[] = L"Software\\Wine\\DllOverrides";

// The system folder's msiexec.exe is the probe for the length of a scope
// (Wine told to run that file, not its built-in program); the original is
// put back afterwards.
class SystemMsiexecProbe {
public:
    SystemMsiexecProbe()
    {
        wchar_t folder[MAX_PATH];
        GetSystemDirectoryW(folder, MAX_PATH);
        path_ = std::wstring(folder) + L"\\msiexec.exe";
        kept_ = path_ + L".kept";
        MoveFileW(path_.c_str(), kept_.c_str());
        placed_ = CopyFileW(ProbeProgram().c_str(), path_.c_str(), FALSE) != FALSE;
        RegSetKeyValueW(HKEY_CURRENT_USER, kWineOverrides, L"msiexec.exe", REG_SZ, L"native", sizeof L"native");
    }
    ~SystemMsiexecProbe()
    {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kWineOverrides, L"msiexec.exe");
        DeleteFileW(path_.c_str());
        MoveFileW(kept_.c_str(), path_.c_str());
    }
    SystemMsiexecProbe(const SystemMsiexecProbe&) = delete;
    SystemMsiexecProbe& operator=(const SystemMsiexecProbe&) = delete;
    bool Placed() const { return placed_; }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_, kept_;
    bool placed_;
};

TEST_F(LauncherRun, CarriedInstallerRunsFromTheSystemTempAndIsKeptWithTheProduct)
{
    // The carried installer registers 1.6; the one beside the launcher must not run.
    SetEnvironmentVariableW(L"PROBE_REGISTER", (std::wstring(kJavaKey) + L"|CurrentVersion|1.6").c_str());
    RegisterJavaHome(L"1.6");
    Place(L"archive.jar");
    PlaceProbe(app + L"\\JRE.exe");
    // Programs named msiexec.exe planted where a bare name would find them first.
    PlaceProbe(app + L"\\msiexec.exe");
    std::wstring plantedInTemp = SystemTemp() + L"\\msiexec.exe";
    PlaceProbe(plantedInTemp);
    SystemMsiexecProbe systemMsiexec;
    ASSERT_TRUE(systemMsiexec.Placed());
    CreateDirectoryW((scratch / L"Orvalen").c_str(), nullptr);
    CreateDirectoryW(uninstallFolder.c_str(), nullptr);
    SetMachineString(std::wstring(kUninstallKey) + L"\\" + kProductKeyName, L"UninstallString",
                     uninstallFolder + L"\\wizstart.exe", kProductView);
    SetMachineString(std::wstring(kUninstallKey) + L"\\" + uninstallEntries[0], L"DisplayName", L"Java(TM) 7 Update 1");
    SetMachineString(std::wstring(kUninstallKey) + L"\\" + uninstallEntries[1], L"DisplayName", L"Java(TM) 6 Update 45");
    SetMachineString(std::wstring(kUninstallKey) + L"\\" + uninstallEntries[2], L"DisplayName", L"Java(TM) 6 Update 20");
    Install(Variant(L"jre"));

    ProcessResult run = Launch();
    EXPECT_EQ(0u, run.exitCode);
    for (const auto& m : run.messages) ADD_FAILURE() << "message: " << m.caption << ": " << m.text;

    auto installers = Runs(L"\\JRE.exe");
    ASSERT_EQ(1u, installers.size());
    const std::wstring& line = installers[0].commandLine;
    std::wstring installer = line.substr(0, line.find(L' '));
    std::wstring tickFolder = installer.substr(0, installer.find_last_of(L'\\'));
    EXPECT_EQ(SystemTemp(), tickFolder.substr(0, tickFolder.find_last_of(L'\\')));
    EXPECT_EQ(installer + kInstallerArguments, line);
    EXPECT_FALSE(PathExists(tickFolder)) << "installer and its folder removed";
    EXPECT_EQ(1u, Runs(L"\\javaw.exe").size());

    // After the wizard: the installer beside the product's uninstall program...
    EXPECT_EQ(ReadBytes(ProbeProgram()), ReadBytes(uninstallFolder + L"\\JRE.exe"));
    // ...and the first Java 6 entry removed, without waiting, from the system Temp.
    // The system folder's Windows Installer, by its full path, never a planted one.
    std::vector<ProbeRun> removal;
    for (int i = 0; i < 100 && (removal = Runs(L"\\msiexec.exe")).empty(); ++i) Sleep(50);
    Sleep(500);  // a planted one started as well would be recorded by now
    removal = Runs(L"\\msiexec.exe");
    DeleteFileW(plantedInTemp.c_str());
    ASSERT_EQ(1u, removal.size());
    EXPECT_EQ(0, lstrcmpiW(systemMsiexec.Path().c_str(), removal[0].program.c_str())) << removal[0].program;
    EXPECT_EQ(systemMsiexec.Path() + L" /quiet /X" + uninstallEntries[1], removal[0].commandLine);
    EXPECT_EQ(0, lstrcmpiW(SystemTemp().c_str(), removal[0].currentFolder.c_str())) << removal[0].currentFolder;
}

TEST_F(LauncherRun, InstallerBesideTheLauncherRunsWhenTheCarriedOneIsMissingOrFailed)
{
    std::string registers = "[probe]\r\nregister=SOFTWARE\\JavaSoft\\Java Runtime Environment|CurrentVersion|1.6\r\n";
    RegisterJavaHome(L"1.6");
    Place(L"archive.jar");
    PlaceProbe(app + L"\\JRE.exe", registers.c_str());
    PlaceProbe(app + L"\\msiexec.exe");
    const struct {
        std::wstring launcher;
        size_t carriedRuns;
    } cases[] = {{BuiltProgram(L"wizstart.exe"), 0}, {Variant(L"jre"), 1}};  // the carried one registers nothing
    for (const auto& c : cases) {
        DeleteMachineKey(kJavaKey);
        RegisterJavaHome(L"1.6");
        DeleteFileW(record.c_str());
        Install(c.launcher);
        ProcessResult run = Launch();
        for (const auto& m : run.messages) ADD_FAILURE() << "message: " << m.caption << ": " << m.text;
        auto installers = Runs(L"\\JRE.exe");
        ASSERT_EQ(c.carriedRuns + 1, installers.size());
        EXPECT_EQ(app + L"\\JRE.exe", installers.back().program);
        EXPECT_EQ(L"\"" + app + L"\\JRE.exe\"" + kInstallerArguments, installers.back().commandLine);
        EXPECT_TRUE(PathExists(app + L"\\JRE.exe")) << "the installer beside the launcher stays";
        EXPECT_EQ(1u, Runs(L"\\javaw.exe").size());
    }
}

// The string table and language tags, read back from the built program.
class LauncherLanguages : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, module_); }

    // String `number` (0 to 15) of block 1 in exactly this language, or "<none>".
    std::wstring String(WORD language, int number)
    {
        std::string block = program_.Resource(RT_STRING, MAKEINTRESOURCEW(1), language);
        if (block.empty()) return L"<none>";
        const WORD* entry = reinterpret_cast<const WORD*>(block.data());
        for (int i = 0; i < number; ++i) entry += 1 + *entry;
        return std::wstring(reinterpret_cast<const wchar_t*>(entry + 1), *entry);
    }

    ProgramFile program_{ShippedProgram(L"wizstart.exe")};
    HMODULE module_ = program_.Module();
};

TEST_F(LauncherLanguages, EveryLanguageCarriesItsMessagesExactly)
{
    const struct {
        WORD language;
        const wchar_t* message2;
        const wchar_t* message3;
    } table[] = {
        {0x0005, L"\"%1\" soubor chybí.", L"Inicializuje se průvodce..."},
        {0x0007, L"\"%1\" Datei fehlt", L"Assistent wird initialisiert..."},
        {0x0008, L"Το αρχείο \"%1\" αγνοείται.", L"Προετοιμασία του Οδηγού..."},
        {0x0009, L"\"%1\" file is missing.", L"Initializing wizard..."},
        {0x000A, L"No se encuentra el archivo \"%1\"", L"Inicializando el asistente..."},
        {0x000B, L"\"%1\" -tiedosto puuttuu.", L"Ohjatun toiminnon alustus on meneillään..."},
        {0x000C, L"Le fichier \"%1\" manque.", L"Initialisation de l'assistant en cours..."},
        {0x000E, L"\"%1\" fájl hiányzik.", L"A varázsló inicializálása..."},
        {0x0010, L"File \"%1\" mancante.", L"Inizializzazione della procedura guidata in corso..."},
        {0x0015, L"\"%1\" brak pliku.", L"Inicjowanie kreatora..."},
        {0x0019, L"Файл \"%1\" отсутствует.", L"Инициализация мастера..."},
        {0x001F, L"\"%1\" dosyası bulunamıyor.", L"Sihirbaz kullanıma hazırlanıyor..."},
        {0x0404, L"\"%1\"文件丟失。", L"正在初始化嚮導..."},
        {0x0411, L"\uFF62%1\uFF63ファイルがありません。", L"ウィザードを初期化しています..."},
        {0x0412, L"\"%1\" 파일이 빠져있습니다. ", L"마법사 초기화 중..."},
        {0x0804, L"\"%1\"文件丢失。", L"正在初始化向导..."},
        {0x0816, L"\"\"%1\"\" ficheiro em falta.", L"A iniciar o Assistente..."},
    };
    for (const auto& row : table) {
        EXPECT_EQ(row.message2, String(row.language, 2)) << std::hex << row.language;
        EXPECT_EQ(row.message3, String(row.language, 3)) << std::hex << row.language;
        EXPECT_EQ(L"5C2D8E4A9B7F1E3D6A0C4B8F2E7D9A15-R1", String(row.language, 4)) << std::hex << row.language;
        std::wstring message1 = String(row.language, 1);
        EXPECT_NE(std::wstring::npos, message1.find(L"Orvalen 14")) << std::hex << row.language;
        EXPECT_NE(std::wstring::npos, message1.find(L"http://www.java.com")) << std::hex << row.language;
        for (int empty : {0, 5, 15}) EXPECT_EQ(L"", String(row.language, empty)) << std::hex << row.language;
    }
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list)
{
    reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
    return TRUE;
}

TEST_F(LauncherLanguages, TheTableExistsInExactlySeventeenLanguages)
{
    // The first twelve neutral, so every region of them finds its version;
    // none for English (United States).
    std::vector<WORD> languages;
    EnumResourceLanguagesW(module_, RT_STRING, MAKEINTRESOURCEW(1), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    std::sort(languages.begin(), languages.end());
    std::vector<WORD> expected = {0x0005, 0x0007, 0x0008, 0x0009, 0x000A, 0x000B, 0x000C, 0x000E, 0x0010,
                                  0x0015, 0x0019, 0x001F, 0x0404, 0x0411, 0x0412, 0x0804, 0x0816};
    EXPECT_EQ(expected, languages);
}

TEST_F(LauncherLanguages, EighteenLanguageTagsHoldTheirOwnIdentifier)
{
    const WORD languages[] = {0x0005, 0x0007, 0x0008, 0x0009, 0x000A, 0x000B, 0x000C, 0x000E, 0x0010,
                              0x0015, 0x0019, 0x001F, 0x0404, 0x0411, 0x0412, 0x0804, 0x0816, 0x0409};
    for (WORD language : languages) {
        std::string tag = program_.Resource(MAKEINTRESOURCEW(255), MAKEINTRESOURCEW(1), language);
        std::string expected = {char(language & 0xFF), char(language >> 8), 0, 0};
        EXPECT_EQ(expected, tag) << std::hex << language;
    }
}

}  // namespace
