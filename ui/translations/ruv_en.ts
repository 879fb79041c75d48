<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>ruv</name>
    <message>
        <location filename="../ui_strings.cpp" line="16"/>
        <source>バージョン情報(ruv) (&amp;A)...</source>
        <translation>&amp;About ruv...</translation>
    </message>
    <message>
        <location filename="../ui_strings.cpp" line="18"/>
        <source>テキスト文書 (*.txt)|*.txt|HTML文書 (*.htm;*.html;*.shtml)|*.htm;*.html;*.shtml|cgi用ﾌｧｲﾙ (*.cgi;*.pl)|*.cgi;*.pl|All Files (*.*)|*.*||</source>
        <translation>Text documents (*.txt)|*.txt|HTML documents (*.htm;*.html;*.shtml)|*.htm;*.html;*.shtml|CGI files (*.cgi;*.pl)|*.cgi;*.pl|All Files (*.*)|*.*||</translation>
    </message>
    <message>
        <location filename="../ui_strings.cpp" line="22"/>
        <source>ファイル名</source>
        <translation>File name</translation>
    </message>
    <message>
        <location filename="../ui_strings.cpp" line="23"/>
        <location filename="../ui_strings.h" line="52"/>
        <source>漢字コード</source>
        <translation>Kanji code</translation>
    </message>
    <message>
        <location filename="../ui_strings.cpp" line="24"/>
        <source>フルパス名</source>
        <translation>Full path</translation>
    </message>
    <message>
        <location filename="../ui_strings.cpp" line="25"/>
        <source>変 換</source>
        <translation>Convert</translation>
    </message>
    <message>
        <location filename="../ui_strings.cpp" line="26"/>
        <source>中 断</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location filename="../ui_strings.cpp" line="27"/>
        <source>選択中</source>
        <translation>Ready</translation>
    </message>
    <message>
        <location filename="../ui_strings.cpp" line="28"/>
        <source>ユーザーの指示により変換処理を
中断しました。</source>
        <translation>The conversion was cancelled
at your request.</translation>
    </message>
    <message>
        <location filename="../ui_strings.cpp" line="29"/>
        <source>変換出来ないまたはディスクの
容量が足りません。</source>
        <translation>The file cannot be converted, or the
disk is full.</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="35"/>
        <source>注意</source>
        <translation>Note</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="38"/>
        <source>次のファイルでは、変換後の漢字コードにない文字または
壊れた文字を置き換えました。
</source>
        <translation>In these files, characters the target code has no code for,
or broken characters, were replaced.
</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="40"/>
        <source>%1: %2 文字</source>
        <translation>%1: %2 characters</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="41"/>
        <source> (最初は %1 行目)</source>
        <translation> (first on line %1)</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="44"/>
        <source>漢字コード変換</source>
        <translation>Kanji Code Converter</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="45"/>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="46"/>
        <source>ファイル選択</source>
        <translation>Choose files</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="47"/>
        <source>登録されたファイル</source>
        <translation>Registered files</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="48"/>
        <source>拡張子</source>
        <translation>Extension</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="49"/>
        <source>登録削除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="50"/>
        <source>登録初期化</source>
        <translation>Clear list</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="51"/>
        <source>ファイル</source>
        <translation>Files</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="53"/>
        <source>変換前の漢字コード</source>
        <translation>Source code</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="54"/>
        <source>変換後の漢字コード</source>
        <translation>Target code</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="55"/>
        <source>改行コード</source>
        <translation>Line ends</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="56"/>
        <source>自動判別</source>
        <translation>Detect automatically</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="57"/>
        <source>半角カナ-&gt;全角カナ</source>
        <translation>Half-width kana -&gt; full-width</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="58"/>
        <source>バックアップ</source>
        <translation>Backup</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="59"/>
        <source>設定をレジストリに保存する。(チェックを外すと完全に消えます。)</source>
        <translation>Keep the settings. (Clearing this removes them completely.)</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="61"/>
        <source>JIS漢字コード</source>
        <translation>JIS (ISO-2022-JP)</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="61"/>
        <source>S-JIS漢字コード</source>
        <translation>Shift_JIS</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="62"/>
        <source>EUC漢字コード</source>
        <translation>EUC-JP</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="66"/>
        <source>各ファイルの漢字コードを内容から判別して変換します。</source>
        <translation>Detect each file's code from its content.</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="67"/>
        <source>自動判別しないときの変換前の漢字コード</source>
        <translation>The code of every file when it is not detected</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="68"/>
        <source>ファイルをこの漢字コードに書き換えます。</source>
        <translation>The files are rewritten in this code.</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="69"/>
        <source>半角カナを全角カナにします。JIS と EUC は常に変換し、Unicode 系は変換しません。
選べるのは S-JIS のときだけです。</source>
        <translation>Turns half-width katakana into full-width ones. JIS and EUC-JP always do,
the Unicode codes never do; the choice is yours only for Shift_JIS.</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="72"/>
        <source>変換後の改行コード</source>
        <translation>The line ends written</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="73"/>
        <source>変換前の内容を「ファイル名.bak」として残します。</source>
        <translation>Keeps the previous content as "name.bak".</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="75"/>
        <source>次回も同じ設定とウィンドウの大きさで始めます。</source>
        <translation>Start next time with the same options and window size.</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="76"/>
        <source>この拡張子のファイルだけを一覧に残します。</source>
        <translation>Keeps only the files with these extensions in the list.</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="78"/>
        <source>内容を表示</source>
        <translation>Show contents</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="80"/>
        <source>変換 %1、変更なし %2、スキップ %3、失敗 %4</source>
        <translation>Converted %1, unchanged %2, skipped %3, failed %4</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="82"/>
        <source>内容 - %1</source>
        <translation>Contents - %1</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="84"/>
        <source>漢字コード: %1&#x3000;改行: %2&#x3000;%3 への変換で失われる文字: %4</source>
        <translation>Code: %1   Line ends: %2   Characters lost converting to %3: %4</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="85"/>
        <source>(先頭 64 KB だけを表示しています。)</source>
        <translation>(Only the first 64 KB are shown.)</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="87"/>
        <source>(この先はこの漢字コードとして読めません。)</source>
        <translation>(The rest does not read as this code.)</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="88"/>
        <source>表示できません: %1</source>
        <translation>Cannot be shown: %1</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="89"/>
        <source>なし</source>
        <translation>none</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="90"/>
        <source>混在</source>
        <translation>mixed</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="91"/>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <location filename="../ui_strings.h" line="96"/>
        <source>バージョン情報 ruv</source>
        <translation>About ruv</translation>
    </message>
</context>
</TS>
