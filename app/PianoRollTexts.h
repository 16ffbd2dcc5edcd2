#pragma once

// Every text the piano roll shows, in one place.
namespace tontoko::rolltexts {

inline constexpr const char* kCaption = "ピアノロール";
inline constexpr const char* kShowAccompaniment = "伴奏も表示する";
inline constexpr const char* kSave = "画像として保存";
inline constexpr const char* kSaveHint = "この図をPNG画像のファイルに保存します．";

// The picture.
inline constexpr const char* kMeasureNumbers[] = {"1", "2", "3", "4"};
inline constexpr const char* kDegrees[] = {"Ⅰ", "Ⅱ", "Ⅲ", "Ⅳ", "Ⅴ", "Ⅵ", "Ⅶ"};
inline constexpr const char* kRhythmFixed = "リズム固定";
inline constexpr const char* kMelodyFixed = "メロディ固定";
inline constexpr const char* kLegendChordTone = "和音の音";
inline constexpr const char* kLegendScaleTone = "音階の音";
inline constexpr const char* kLegendClash = "ぶつかる音";
inline constexpr const char* kLegendAccompaniment = "伴奏・ベース";
inline constexpr const char* kLaneLabel = "*";
inline constexpr const char* kEditHint =
    "左クリック: 音を置く／ドラッグ: 高さを変える／右クリック・Delete: 消す";

// What a screen reader calls the roll's controls.
inline constexpr const char* kAccessibleShowAccompaniment = "伴奏とベースも表示する";
inline constexpr const char* kAccessibleSave = "図を画像として保存";

// Saving the picture.
inline constexpr const char* kSaveFilter = "PNG画像(*.png)|*.png";
inline constexpr const char* kSaveSuffix = "png";
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kSaveFailed = "画像を書き込めませんでした．\n%1";

}  // namespace tontoko::rolltexts
