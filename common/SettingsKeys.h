#pragma once
// Every key of the settings file, with its type and the value a read gives
// when the key (or the whole file) is missing. Callers name a key as
// Setting::Level: a key that is not in this table, or a string read of an
// integer key, does not compile, and no default is written anywhere else.
// A new key is one more line here and one more entry in Setting::All.

#include <array>
#include <cstdint>
#include <string_view>

// The one section of the settings file.
inline constexpr std::string_view kSystemSection = "system";

struct Setting;

// A key by name alone, for code that handles stored text of any key.
class TSettingKey {
public:
    constexpr std::string_view Name() const { return m_name; }

protected:
    constexpr explicit TSettingKey(std::string_view name) : m_name(name) {}

private:
    std::string_view m_name;
};

// A key whose value is of type Value: std::int32_t, or std::string_view for
// GBK text.
template <typename Value>
class TTypedSetting : public TSettingKey {
public:
    constexpr Value Default() const { return m_default; }

private:
    friend struct Setting;
    constexpr TTypedSetting(std::string_view name, Value defaultValue)
        : TSettingKey(name), m_default(defaultValue)
    {
    }
    Value m_default;
};

using TIntSetting = TTypedSetting<std::int32_t>;
using TStringSetting = TTypedSetting<std::string_view>;

struct Setting {
    // Base name of the word database file in data/ (".mdb" is added).
    static constexpr TStringSetting Data{"data", ""};
    // 1: the word texts in the database are scrambled.
    static constexpr TIntSetting Encrypt{"encrypt", 0};
    // Name of the active skin.
    static constexpr TStringSetting DefaultUI{"DefaultUI", "WLM"};

    // The last game.
    static constexpr TStringSetting StoreTableName{"StoreTableName", "lib109"};
    static constexpr TIntSetting WordCount{"WordCount", 3480};
    // 《最新TOEFL词汇》
    static constexpr TStringSetting BookName{"BookName", "\xA1\xB6\xD7\xEE\xD0\xC2"
                                                         "TOEFL"
                                                         "\xB4\xCA\xBB\xE3\xA1\xB7"};
    static constexpr TIntSetting TollGateIndex{"TollGateIndex", 1};
    static constexpr TIntSetting Level{"Level", 1};
    static constexpr TIntSetting BookType{"BookType", 1};

    // Background music and the spoken words.
    static constexpr TIntSetting PlayMp3{"PlayMp3", 0};
    static constexpr TIntSetting PlaySound{"PlaySound", 0};
    static constexpr TStringSetting Mp3{"Mp3", ""};
    static constexpr TIntSetting Mp3Voice{"Mp3Voice", 0};

    // The board: milliseconds per step of each level, and colours 0x00BBGGRR.
    static constexpr TIntSetting LevelInterval1{"LevelInterval1", 0};
    static constexpr TIntSetting LevelInterval2{"LevelInterval2", 0};
    static constexpr TIntSetting LevelInterval3{"LevelInterval3", 0};
    static constexpr TIntSetting BackGroundColor{"BackGroundColor", 0};
    static constexpr TIntSetting NormalColor{"NormalColor", 0};
    static constexpr TIntSetting TypeColor{"TypeColor", 0};

    // The speech settings, one key per field of TSpeechSet.
    static constexpr TStringSetting EngineName{"EngineName", ""};
    static constexpr TStringSetting SpeakName{"SpeakName", ""};
    static constexpr TIntSetting SpeakSex{"SpeakSex", 0};
    static constexpr TIntSetting Rate{"Rate", 0};
    static constexpr TIntSetting Volume{"Volume", 0};
    // The accent shown first where a word has two pronunciations: 0 British
    // (英音), 1 American (美音); any other value reads as British.
    static constexpr TIntSetting Accent{"Accent", 0};
    // 1: a word with a British and an American spelling accepts both.
    static constexpr TIntSetting BothSpellings{"BothSpellings", 1};
    // Words to play a day (reviews and new words alike).
    static constexpr TIntSetting DailyGoal{"DailyGoal", 100};
    // 1: a login reminder of the words due (an autostart entry of the desktop).
    static constexpr TIntSetting RemindDaily{"RemindDaily", 0};

    // Only read: they come from the file installed with the program.
    static constexpr TStringSetting Version{"version", ""};
    static constexpr TStringSetting KivroLoadCiKu{"KivroLoadCiKu", ""};
    static constexpr TStringSetting Speek{"Speek", ""};

    static constexpr std::array<TSettingKey, 31> All{Data,
                                                     Encrypt,
                                                     DefaultUI,
                                                     StoreTableName,
                                                     WordCount,
                                                     BookName,
                                                     TollGateIndex,
                                                     Level,
                                                     BookType,
                                                     PlayMp3,
                                                     PlaySound,
                                                     Mp3,
                                                     Mp3Voice,
                                                     LevelInterval1,
                                                     LevelInterval2,
                                                     LevelInterval3,
                                                     BackGroundColor,
                                                     NormalColor,
                                                     TypeColor,
                                                     EngineName,
                                                     SpeakName,
                                                     SpeakSex,
                                                     Rate,
                                                     Volume,
                                                     Accent,
                                                     BothSpellings,
                                                     DailyGoal,
                                                     RemindDaily,
                                                     Version,
                                                     KivroLoadCiKu,
                                                     Speek};

    // Keys the program never writes and an update may change: an installed
    // program reads them from its own settings file, not the player's.
    static constexpr std::array<TSettingKey, 4> Installed{Version, KivroLoadCiKu, Speek, PlaySound};
    static constexpr bool IsInstalled(TSettingKey key)
    {
        for (const TSettingKey installed : Installed) {
            if (installed.Name() == key.Name())
                return true;
        }
        return false;
    }
};
