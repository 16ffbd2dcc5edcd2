#pragma once

// Every text the main window shows, in one place.
namespace tontoko::texts {

inline constexpr const char* kCaption = "れっつ，とんとこ！Ver." TONTOKO_VERSION;

// Menu and tool bar.
inline constexpr const char* kMenuFile = "ファイル(&F)";
inline constexpr const char* kMenuOpen = "ファイルの読み込み(&O)";
inline constexpr const char* kMenuSave = "ファイルの保存(&S)";
inline constexpr const char* kMenuChain = "ファイルの連結(&C)";
inline constexpr const char* kMenuExit = "終了(&X)";
inline constexpr const char* kMenuCustom = "設定(&C)";
inline constexpr const char* kMenuResist = "リズムの登録・呼び出し(&R)";
inline constexpr const char* kMenuHelp = "ヘルプ(&H)";
inline constexpr const char* kMenuHelpIndex = "れっつ，とんとこ！について(&H)";
inline constexpr const char* kMenuAbout = "バージョン情報(&A)";
inline constexpr const char* kHintOpen = "開く";
inline constexpr const char* kHintSave = "保存";
inline constexpr const char* kHintChain = "演奏データの連結";
inline constexpr const char* kHintPlay = "演奏";
inline constexpr const char* kHintStop = "停止";
// Added beside the specified menu and tool bar.
inline constexpr const char* kMenuExport = "音声ファイルに書き出す(&E)";
inline constexpr const char* kHintExport = "音声ファイルに書き出す";
inline constexpr const char* kMenuView = "表示(&V)";
inline constexpr const char* kMenuPianoRoll = "ピアノロール(&P)";
inline constexpr const char* kHintPianoRoll = "ピアノロール";
inline constexpr const char* kMenuEdit = "編集(&E)";
inline constexpr const char* kMenuUndo = "元に戻す(&U)";
inline constexpr const char* kMenuRedo = "やり直し(&R)";
inline constexpr const char* kHintUndo = "元に戻す";
inline constexpr const char* kHintRedo = "やり直し";
inline constexpr const char* kMenuPlay = "演奏(&P)";
inline constexpr const char* kMenuPlayItem = "演奏(&P)";
inline constexpr const char* kMenuStop = "停止(&S)";
inline constexpr const char* kMenuLoop = "くりかえし演奏(&L)";
inline constexpr const char* kHintLoop = "くりかえし演奏";

// Tabs.
inline constexpr const char* kPageMain = "めいん";
inline constexpr const char* kPageSub = "さ　ぶ";

// Settings ("せってい").
inline constexpr const char* kSettei = "せってい";
inline constexpr const char* kDur = "曲の感じ";
inline constexpr const char* kDMajor = "あかるい";
inline constexpr const char* kDMinor = "くらい";
inline constexpr const char* kSelfHiragana = "じぶんで";
inline constexpr const char* kSelfDur = "曲の感じ（自分で）";
inline constexpr const char* kSDMajor = "明";
inline constexpr const char* kSDMinor = "暗";
inline constexpr const char* kTempo = "曲のはやさ";
inline constexpr const char* kTFast = "はやく";
inline constexpr const char* kTMedium = "ちゅうくらい";
inline constexpr const char* kTSlow = "おそい";
inline constexpr const char* kSelfTempo = "はやさ（自分で）";
inline constexpr const char* kChord = "はじめの和音";
inline constexpr const char* kCOne = "Ｉ の和音";
inline constexpr const char* kCRandom = "適当に";
inline constexpr const char* kSelfKanji = "自分で";
inline constexpr const char* kSelfChord = "和音〈自分で〉";
inline constexpr const char* kMelody = "メロディ";
inline constexpr const char* kMFour = "4分音符多め";
inline constexpr const char* kMEight = "8分音符多め";
inline constexpr const char* kCGenerate = "コード進行生成";
inline constexpr const char* kCGenerateHint = "コード進行を自動生成します．";
inline constexpr const char* kMGenerate = "メロディ生成";
inline constexpr const char* kMGenerateHint = "メロディを自動生成します．";
inline constexpr const char* kFinish = "きれいに仕上げる";
inline constexpr const char* kFinishHint =
    "最後を Ⅰ の和音と主音で終わらせ、和音に合わない音を、なめらかに動く音になおします．";
inline constexpr const char* kMotif = "くりかえしのあるメロディ";
inline constexpr const char* kMotifHint = "1小節目のメロディを3小節目でもう一度使います．";

// The melody that was made.
inline constexpr const char* kGMelody = "つくられためろでー";
// A measure group's caption: its measure's number in the song.
inline constexpr const char* kMeasureCaption = "%1小節目";
inline constexpr const char* kFixRhythm = "リズムを固定する";
inline constexpr const char* kFixMelody = "メロディを固定する";
inline constexpr const char* kClear = "メロディを消去する";
inline constexpr const char* kClearHint = "作ったメロディを消去します．";

// Other ("そのた").
inline constexpr const char* kEtc = "そのた";
inline constexpr const char* kInterval = "メロディ開始まで";
inline constexpr const char* kIntervalLabel = "拍あける";
inline constexpr const char* kMLength = "現在の曲の長さは";
inline constexpr const char* kMLengthLabel = "%1小節です.";
inline constexpr const char* kMLengthHint = "曲の長さです．「4小節ふやす」で長くできます．";
inline constexpr const char* kMPos = "現在の場所は";
inline constexpr const char* kMPosLabel = "%1小節目の先頭です.";
inline constexpr const char* kMPosHint = "表示する4小節をえらびます．演奏はここから始まります．";
inline constexpr const char* kPartAdd = "4小節ふやす";
inline constexpr const char* kPartAddHint = "表示している4小節を写して、すぐあとに入れます．";
inline constexpr const char* kPartDelete = "この4小節をけす";
inline constexpr const char* kPartDeleteHint = "表示している4小節を曲からけします．";

// Page "さ　ぶ".
inline constexpr const char* kGroup1 = "設定1　- 音色・音量 -　";
inline constexpr const char* kGroup2 = "種類";
inline constexpr const char* kLabelMelody = "メロディ";
inline constexpr const char* kLabelDrum = "ドラム";
inline constexpr const char* kLabelAcc = "伴奏";
inline constexpr const char* kLabelBase = "ベース";
inline constexpr const char* kRandom = "ランダム決定";
inline constexpr const char* kGroup3 = "ボリューム";
inline constexpr const char* kGroup4 = "設定2　- 伴奏・ドラムパターン -　";
inline constexpr const char* kAccPattern = "伴奏のパターン";
inline constexpr const char* kDrumPattern = "ドラムのパターン";
inline constexpr const char* kDrumOn = "ドラムパートをONにする";
inline constexpr const char* kPreview = "試聴";
inline constexpr const char* kGroup5 = "設定3　- コード進行設定 -　";
inline constexpr const char* kChordName = "コードネーム";
inline constexpr const char* kArrow = "--->";
inline constexpr const char* kEqual = "等確率にする";
inline constexpr const char* kGroup6 = "設定4　- 曲の入り・終わり -　";
inline constexpr const char* kNormal = "ふつう";
inline constexpr const char* kFadeIn = "フェードイン";
inline constexpr const char* kFadeOut = "フェードアウト";
inline constexpr const char* kGroup7 = "空き1";
inline constexpr const char* kGroup8 = "空き2";
inline constexpr const char* kRowNames[] = {"I", "II", "III", "IV", "V", "VI", "VII"};

// The names of the steps undo takes back, after the controls that make them.
// "%1小節目の%2": the measure, then what changed in it.
inline constexpr const char* kStepMeasure = "%1小節目の%2";
inline constexpr const char* kStepChord = "和音";
inline constexpr const char* kStepMelody = "メロディ";
inline constexpr const char* kStepRhythm = "リズムの適用";
inline constexpr const char* kStepRoll = "ピアノロール";
inline constexpr const char* kStepKey = "曲の感じ";
inline constexpr const char* kStepTempo = "テンポ";
inline constexpr const char* kStepFirstChord = "はじめの和音";
inline constexpr const char* kStepVolumeMelody = "メロディの音量";
inline constexpr const char* kStepVolumeAcc = "伴奏の音量";
inline constexpr const char* kStepVolumeBase = "ベースの音量";
inline constexpr const char* kStepVolumeDrum = "ドラムの音量";
inline constexpr const char* kStepProgramMelody = "メロディの音色";
inline constexpr const char* kStepProgramAcc = "伴奏の音色";
inline constexpr const char* kStepProgramBase = "ベースの音色";
inline constexpr const char* kStepDrumSet = "ドラムセット";
inline constexpr const char* kStepTable = "コード進行設定";

// Opening a saved song (%1: the file, %2: why it cannot be opened).
inline constexpr const char* kStepOpen = "ファイルの読み込み";
inline constexpr const char* kOpenFilter = "スタンダードMIDIファイル(*.mid)|*.mid";
inline constexpr const char* kOpenFailed = "この曲は開けません．\n%1\n%2";
inline constexpr const char* kOpenNotMidi = "スタンダードMIDIファイルではありません．";
inline constexpr const char* kOpenOtherLayout =
    "れっつ，とんとこ！で保存した曲ではありません（%1）．";
inline constexpr const char* kOpenTruncated = "ファイルが途中で切れています（%1）．";
inline constexpr const char* kOpenJoined = "%1曲を連結したファイルです．開けるのは8曲までです．";
inline constexpr const char* kOpenJoinedTooLong =
    "%1曲を連結したファイルで、合わせて%2小節あります．開けるのは32小節までです．";
// A joined file opened as one song (%1: songs, %2: measures, %3: the
// settings that differ, one per line, %4: the file).
inline constexpr const char* kOpenJoinedDiffers =
    "%1曲を連結したファイルを、%2小節の１つの曲として開きました．\n"
    "次の設定は曲によってちがうので、1曲目のものにしました．\n%3\n%4";
// One line per setting: "・調：ハ長調（2曲目はト長調）".
inline constexpr const char* kJoinedLine = "・%1：%2（%3）";
inline constexpr const char* kJoinedOther = "%1曲目は%2";
inline constexpr const char* kJoinedSeparator = "，";
inline constexpr const char* kJoinedKey = "調";
inline constexpr const char* kJoinedDrumsOn = "ドラムパート";
inline constexpr const char* kJoinedFade = "曲の入り・終わり";
inline constexpr const char* kJoinedBeats = "%1拍";
inline constexpr const char* kJoinedOn = "ON";
inline constexpr const char* kJoinedOff = "OFF";
inline constexpr const char* kJoinedNoPattern = "パターンファイルにないもの";
inline constexpr const char* kOpenTooLarge = "ファイルが大きすぎます（1MBまでです）．";
inline constexpr const char* kOpenNotRegular = "ファイルではありません（%1）．";
inline constexpr const char* kOpenUnreadable = "ファイルを読めません（%1）．";
inline constexpr const char* kOpenPatternsMissing =
    "この曲の伴奏またはドラムのパターンが、いまのパターンファイルにありません．\n"
    "メロディ・和音・音色を読み込み、パターンはいま選んでいるものにしました．\n%1";
inline constexpr const char* kDropOneSong =
    "ここに置けるのは、スタンダードMIDIファイル（.mid）１つだけです．";

// Messages.
inline constexpr const char* kUnsavedText = "保存していない変更があります。保存しますか？";
inline constexpr const char* kExitText = "アプリケーションを終了します．\nよろしいですか？";
inline constexpr const char* kExitCaption = "終了";
inline constexpr const char* kSaveFailed = "ファイルを書き込めませんでした．\n%1";
inline constexpr const char* kPlayWriteFailed = "演奏用のファイルを書き込めませんでした．\n%1";
// Sound: the device, the SoundFont and audio export (%1: the technical detail).
inline constexpr const char* kNoSoundDevice =
    "音を出す装置が使えないため、演奏できません．\n"
    "曲は「音声ファイルに書き出す」で音声ファイルにして聴くことができます．\n%1";
inline constexpr const char* kNoSoundFont = "音源（SoundFont）が使えないため、音を出せません．\n%1";
inline constexpr const char* kExportFailed = "音声ファイルを書き出せませんでした．\n%1\n%2";
// Help (%1: the manual's full path).
inline constexpr const char* kHelpMissing = "説明書のファイルが見つかりません．\n%1";
inline constexpr const char* kHelpNotOpened =
    "説明書を開けませんでした．HTMLファイルを開くソフト（ウェブブラウザ）が必要です．\n%1";

// Files.
inline constexpr const char* kTempMidi = "tmp.mid";
inline constexpr const char* kHelpFile = "index.html";
inline constexpr const char* kSaveFilter = "スタンダードMIDIファイル(*.mid)|*.mid";
inline constexpr const char* kSaveSuffix = "mid";
inline constexpr const char* kExportFilter =
    "WAVファイル(*.wav)|*.wav|FLACファイル(*.flac)|*.flac|Ogg Vorbisファイル(*.ogg)|*.ogg";
inline constexpr const char* kExportSuffix = "wav";

}  // namespace tontoko::texts
