#pragma once

// Every text the piano roll shows, in one place.
namespace tontoko::rolltexts {

inline constexpr const char* kCaption = "ピアノロール";
inline constexpr const char* kShowAccompaniment = "伴奏も表示する";
inline constexpr const char* kSave = "画像として保存";
inline constexpr const char* kSaveHint = "この図をPNG画像のファイルに保存します．";

// The picture.
inline constexpr const char* kDegrees[] = {"Ⅰ", "Ⅱ", "Ⅲ", "Ⅳ", "Ⅴ", "Ⅵ", "Ⅶ"};
inline constexpr const char* kRhythmFixed = "リズム固定";
inline constexpr const char* kMelodyFixed = "メロディ固定";
inline constexpr const char* kLegendChordTone = "和音の音";
inline constexpr const char* kLegendScaleTone = "音階の音";
inline constexpr const char* kLegendClash = "ぶつかる音";
inline constexpr const char* kLegendAccompaniment = "伴奏・ベース";
inline constexpr const char* kLegendShownPart = "表示中の4小節";
inline constexpr const char* kLaneLabel = "*";
inline constexpr const char* kEditHint =
    "左クリック: 音を置く／ドラッグ: 高さを変える／右クリック・Delete: 消す";
inline constexpr const char* kKeyHint =
    "矢印キー: カーソルを動かす／Enter・スペース: 音を置く／Delete: 消す";

// What a screen reader calls the roll and its controls, and says of the
// keyboard cursor: the measure, the beat, the row's note and octave, and the
// melody note at the cursor, e.g. "2小節目 3拍目 ソ、オクターブ0、ミの音符".
inline constexpr const char* kAccessibleName = "ピアノロール";
inline constexpr const char* kAccessibleShowAccompaniment = "伴奏とベースも表示する";
inline constexpr const char* kAccessibleSave = "図を画像として保存";
inline constexpr const char* kAccessibleScroll = "ピアノロールの表示位置";
inline constexpr const char* kCursorOnBeat = "%1小節目 %2拍目 %3";
inline constexpr const char* kCursorOffBeat = "%1小節目 %2拍目の裏 %3";
inline constexpr const char* kCursorOctave = "、オクターブ%1";
inline constexpr const char* kCursorNote = "、%1の音符";
inline constexpr const char* kCursorHeld = "、%1がのびている";
inline constexpr const char* kCursorRhythmNote = "、高さのない音符";
inline constexpr const char* kCursorRhythmHeld = "、高さのない音符がのびている";

// Saving the picture.
inline constexpr const char* kSaveFilter = "PNG画像(*.png)|*.png";
inline constexpr const char* kSaveSuffix = "png";
inline constexpr const char* kSaveFailed = "画像を書き込めませんでした．\n%1";

}  // namespace tontoko::rolltexts
