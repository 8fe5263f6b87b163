// Every text the program shows outside its resource script: message boxes,
// questions, and the titles and filters of the file and folder dialogs. The
// source is UTF-8; the compiler turns the literals into code page 932 bytes.
#pragma once

// The caption of every message box and question, and the tray icon's tip.
constexpr char TEXT_CAPTION[] = "Inkslip";
constexpr char TEXT_VERSION_CAPTION[] = "バージョン情報";
constexpr char TEXT_COPYRIGHT[] = "Copyright (C) 2026 Inkslip team";

// Notes.
constexpr char TEXT_TOO_LARGE_QUESTION[] =
    "サイズが画面に対して大きいかもしれません。\n続行しますか？";
constexpr char TEXT_PEEL_OFF_QUESTION[] = "この付箋紙をはがしてもよろしいですか？";
constexpr char TEXT_DROP_READ_FAILED[] = "ドロップファイルの読込みに失敗しました。";
constexpr char TEXT_REGION_LOOKUP_FAILED[] = "リージョンの再取得に失敗しました。";
constexpr char TEXT_REGION_SET_FAILED[] = "リージョンの再設定に失敗しました。";
constexpr char TEXT_SAVE_AS_FAILED[] = "ファイルの保存に失敗しました。";
constexpr char TEXT_BMP_WRITE_FAILED[] = "BMPファイルの出力に失敗しました。";
constexpr char TEXT_SAVE_AS_TITLE[] = "ファイル出力先指定";
// A filter is pairs of texts, each ending in a null character.
constexpr char TEXT_SAVE_AS_FILTER[] = "BMPファイル(*.bmp)\0*.bmp\0";

// The main window.
constexpr char TEXT_TOO_MANY_PAPERS[] =
    "紙の枚数がいっぱいです。\n枚数を減らしてからもう一度作成してください。";
constexpr char TEXT_CREATE_FAILED[] = "紙の生成に失敗しました";
constexpr char TEXT_OPEN_BMP_TITLE[] = "ファイル指定";
constexpr char TEXT_OPEN_BMP_FILTER[] = "24ビットBMPファイル(*.bmp)\0*.bmp\0";

// The options dialog.
constexpr char TEXT_HK_NEW_FAILED[] = "HK_NEWの登録に失敗しました。";
constexpr char TEXT_HK_HIDE_FAILED[] = "HK_HIDEの登録に失敗しました。";
constexpr char TEXT_DATA_FOLDER_TITLE[] = "付箋紙データの保存先選択";
constexpr char TEXT_OUTPUT_FOLDER_TITLE[] = "デフォルトの画像データ出力先選択";
