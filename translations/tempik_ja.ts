<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>tempik::ui::AboutDialog</name>
    <message>
        <source>About tempik</source>
        <translation>tempik について</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>バージョン %1</translation>
    </message>
    <message>
        <source>Released under the MIT licence.</source>
        <translation>MIT ライセンスで公開しています。</translation>
    </message>
    <message>
        <source>tempik&apos;s own files are under the MIT licence. This build includes Ableton Link (GPL-2.0-or-later) and is distributed as a whole under the GNU GPL, version 2 or later.</source>
        <translation>tempik 自身のファイルは MIT ライセンスです。このビルドは Ableton Link (GPL-2.0-or-later) を含むため、全体として GNU GPL バージョン 2 以降で配布されます。</translation>
    </message>
</context>
<context>
    <name>tempik::ui::ContentView</name>
    <message>
        <source>Eos Host IP</source>
        <extracomment>The field for the console&apos;s address; Eos as the console is named.</extracomment>
        <translation>Eos ホスト IP</translation>
    </message>
    <message>
        <source>BPM FX</source>
        <extracomment>The field for the effects whose BPM tempik sets; keep it short.</extracomment>
        <translation>BPM FX</translation>
    </message>
    <message>
        <source>BPM Macro</source>
        <extracomment>The field for the macro whose label shows the tempo; keep it short.</extracomment>
        <translation>BPM Macro</translation>
    </message>
    <message>
        <source>The console&apos;s IP address or host name</source>
        <translation>コンソールの IP アドレスまたはホスト名</translation>
    </message>
    <message>
        <source>e.g. 10 17 21 (or) 390-400</source>
        <translation>例: 10 17 21 または 390-400</translation>
    </message>
    <message>
        <source>The effects to set: a list of numbers or a range</source>
        <translation>設定する Effect：番号のリストまたは範囲</translation>
    </message>
    <message>
        <source>e.g. 901</source>
        <translation>例: 901</translation>
    </message>
    <message>
        <source>One macro whose label shows the tempo</source>
        <translation>ラベルにテンポを表示する Macro 1 つ</translation>
    </message>
    <message>
        <source>Multiplier</source>
        <extracomment>Half, normal or double time for every tempo sent.</extracomment>
        <translation>倍率</translation>
    </message>
    <message>
        <source>%1 BPM, not sent</source>
        <translation>%1 BPM、未送信</translation>
    </message>
    <message>
        <source>%1 BPM</source>
        <translation>%1 BPM</translation>
    </message>
    <message>
        <source>%1 BPM sent</source>
        <translation>%1 BPM 送信済み</translation>
    </message>
    <message>
        <source>Settings cannot be saved in %1 (%2): edits last until tempik closes.</source>
        <extracomment>%1 is a folder, %2 why it cannot be written.</extracomment>
        <translation>%1 に設定を保存できません（%2）。変更は tempik を閉じるまで有効です。</translation>
    </message>
</context>
<context>
    <name>tempik::ui::Credits</name>
    <message>
        <source>Made by the tempik developers</source>
        <translation>tempik 開発者による制作</translation>
    </message>
</context>
<context>
    <name>tempik::ui::EosConnectionStatusView</name>
    <message>
        <source>Connected</source>
        <translation>接続済み</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>未接続</translation>
    </message>
    <message>
        <source>Check the address above.</source>
        <translation>上のアドレスを確認してください。</translation>
    </message>
    <message>
        <source>The console refused the connection. Is OSC TCP on, with port 3038 among its server ports?</source>
        <translation>コンソールが接続を拒否しました。OSC TCP が有効で、サーバーポートに 3038 が含まれていますか？</translation>
    </message>
    <message>
        <source>No answer within 5 seconds. Check the address and the network.</source>
        <translation>5 秒以内に応答がありません。アドレスとネットワークを確認してください。</translation>
    </message>
    <message>
        <source>Host name not found. Check its spelling, or use the IP address.</source>
        <translation>ホスト名が見つかりません。綴りを確認するか、IP アドレスを使ってください。</translation>
    </message>
    <message>
        <source>Network unreachable. Check the cable and the address.</source>
        <translation>ネットワークに到達できません。ケーブルとアドレスを確認してください。</translation>
    </message>
    <message>
        <source>The console closed the connection. Reconnecting…</source>
        <translation>コンソールが接続を閉じました。再接続しています…</translation>
    </message>
    <message>
        <source>The connection was reset. Reconnecting…</source>
        <translation>接続がリセットされました。再接続しています…</translation>
    </message>
    <message>
        <source>The console stopped answering. Reconnecting…</source>
        <translation>コンソールが応答しなくなりました。再接続しています…</translation>
    </message>
    <message>
        <source>The connection failed. Retrying…</source>
        <translation>接続に失敗しました。再試行しています…</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>What a screen reader hears: the status (%1) and why (%2).</extracomment>
        <translation>%1：%2</translation>
    </message>
</context>
<context>
    <name>tempik::ui::Hints</name>
    <message>
        <source>Enter the console&apos;s IP address or host name</source>
        <translation>コンソールの IP アドレスまたはホスト名を入力してください</translation>
    </message>
    <message>
        <source>Leave out the port: tempik always uses 3038</source>
        <translation>ポートは不要です。tempik は常に 3038 を使います</translation>
    </message>
    <message>
        <source>Each part of an IP address is a number from 0 to 255</source>
        <translation>IP アドレスの各部分は 0〜255 の数です</translation>
    </message>
    <message>
        <source>Enter an IP address like 10.101.100.101 or a host name</source>
        <translation>10.101.100.101 のような IP アドレスかホスト名を入力してください</translation>
    </message>
    <message>
        <source>Enter Effect numbers to apply this to or a range like 3000-4000</source>
        <translation>Effect 番号か、3000-4000 のような範囲を入力してください</translation>
    </message>
    <message>
        <source>Enter a single Macro number</source>
        <translation>Macro 番号を 1 つ入力してください</translation>
    </message>
</context>
<context>
    <name>tempik::ui::LinkFollowView</name>
    <message>
        <source>Follow Ableton Link</source>
        <translation>Ableton Link に追従</translation>
    </message>
    <message>
        <source>Link · joining…</source>
        <translation>Link · 参加しています…</translation>
    </message>
    <message>
        <source>Link: joining</source>
        <translation>Link：参加しています</translation>
    </message>
    <message>
        <source>Link · no peers</source>
        <translation>Link · ピアなし</translation>
    </message>
    <message>
        <source>Link: no peers</source>
        <translation>Link：ピアなし</translation>
    </message>
    <message numerus="yes">
        <source>Link · %n peer(s) · %1</source>
        <extracomment>%n peers in the session, %1 its tempo in BPM.</extracomment>
        <translation>
            <numerusform>Link · ピア %n · %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Link: %n peer(s), %1 BPM</source>
        <translation>
            <numerusform>Link：ピア %n、%1 BPM</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tempik::ui::MidiView</name>
    <message>
        <source>MIDI input</source>
        <translation>MIDI 入力</translation>
    </message>
    <message>
        <source>Learn</source>
        <extracomment>Button: the next MIDI note or controller that arrives becomes the tap.</extracomment>
        <translation>学習</translation>
    </message>
    <message>
        <source>Clear</source>
        <extracomment>Button: forget the MIDI tap.</extracomment>
        <translation>クリア</translation>
    </message>
    <message>
        <source>Clear the MIDI tap</source>
        <translation>MIDI タップをクリア</translation>
    </message>
    <message>
        <source>Follow MIDI clock</source>
        <translation>MIDI クロックに追従</translation>
    </message>
    <message>
        <source>MIDI Input</source>
        <translation>MIDI 入力</translation>
    </message>
    <message>
        <source>MIDI Tap</source>
        <translation>MIDI タップ</translation>
    </message>
    <message>
        <source>All</source>
        <extracomment>The MIDI sources tempik connects to: every one there is, or none.</extracomment>
        <translation>すべて</translation>
    </message>
    <message>
        <source>None</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>%1 chosen. %2</source>
        <translation>%1 を選択中。%2</translation>
    </message>
    <message>
        <source>MIDI tap: %1</source>
        <translation>MIDI タップ：%1</translation>
    </message>
    <message>
        <source>Cancel</source>
        <extracomment>Button: stop waiting for a MIDI note or controller to learn.</extracomment>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Cancel learning</source>
        <translation>学習をキャンセル</translation>
    </message>
    <message>
        <source>Learn the MIDI tap</source>
        <translation>MIDI タップを学習</translation>
    </message>
</context>
<context>
    <name>tempik::ui::MidiWords</name>
    <message>
        <source>MIDI input: %1</source>
        <translation>MIDI 入力：%1</translation>
    </message>
    <message>
        <source>MIDI tap: %1</source>
        <translation>MIDI タップ：%1</translation>
    </message>
    <message>
        <source>MIDI tap learned: %1</source>
        <translation>MIDI タップを学習しました：%1</translation>
    </message>
    <message>
        <source>None</source>
        <extracomment>No MIDI tap learned, as shown and as spoken.</extracomment>
        <translation>なし</translation>
    </message>
    <message>
        <source>none</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>Note %1 · ch %2</source>
        <extracomment>The MIDI tap, short: note number %1 on MIDI channel %2.</extracomment>
        <translation>ノート %1 · ch %2</translation>
    </message>
    <message>
        <source>note %1 on channel %2</source>
        <translation>チャンネル %2 のノート %1</translation>
    </message>
    <message>
        <source>CC %1 · ch %2</source>
        <extracomment>The MIDI tap, short: controller (control change) number %1 on MIDI channel %2.</extracomment>
        <translation>CC %1 · ch %2</translation>
    </message>
    <message>
        <source>controller %1 on channel %2</source>
        <translation>チャンネル %2 のコントローラー %1</translation>
    </message>
    <message>
        <source>Waiting for MIDI…</source>
        <extracomment>While Learn waits for the pad, key or pedal to be hit.</extracomment>
        <translation>MIDI を待っています…</translation>
    </message>
    <message>
        <source>waiting for a note or a controller</source>
        <translation>ノートまたはコントローラーを待っています</translation>
    </message>
    <message>
        <source>MIDI · looking for sources…</source>
        <translation>MIDI · ソースを探しています…</translation>
    </message>
    <message>
        <source>MIDI: looking for sources</source>
        <translation>MIDI：ソースを探しています</translation>
    </message>
    <message>
        <source>MIDI: none found</source>
        <translation>MIDI：見つかりません</translation>
    </message>
    <message>
        <source>no source connected</source>
        <translation>接続中のソースなし</translation>
    </message>
    <message numerus="yes">
        <source>%n source(s) connected</source>
        <translation>
            <numerusform>%n 個のソースに接続</numerusform>
        </translation>
    </message>
    <message>
        <source>MIDI</source>
        <translation>MIDI</translation>
    </message>
    <message>
        <source>MIDI: %1</source>
        <translation>MIDI：%1</translation>
    </message>
    <message>
        <source>MIDI: connected to %1</source>
        <translation>MIDI：%1 に接続</translation>
    </message>
    <message>
        <source>%1 gone</source>
        <extracomment>%1 is a MIDI source (&quot;nanoPAD2&quot;) or MIDI system (&quot;JACK&quot;) that went away.</extracomment>
        <translation>%1 切断</translation>
    </message>
    <message>
        <source>MIDI clock · waiting…</source>
        <translation>MIDI クロック · 待機中…</translation>
    </message>
    <message>
        <source>MIDI clock: waiting for a clock</source>
        <translation>MIDI クロック：クロックを待っています</translation>
    </message>
    <message>
        <source>MIDI clock · counting…</source>
        <translation>MIDI クロック · カウント中…</translation>
    </message>
    <message>
        <source>MIDI clock: counting the first beats</source>
        <translation>MIDI クロック：最初の拍を数えています</translation>
    </message>
    <message>
        <source>MIDI clock · %1 BPM</source>
        <translation>MIDI クロック · %1 BPM</translation>
    </message>
    <message>
        <source>MIDI clock: %1 BPM</source>
        <translation>MIDI クロック：%1 BPM</translation>
    </message>
    <message>
        <source>MIDI clock · stopped</source>
        <translation>MIDI クロック · 停止</translation>
    </message>
    <message>
        <source>MIDI clock: stopped</source>
        <translation>MIDI クロック：停止</translation>
    </message>
    <message>
        <source>%1 (not found)</source>
        <extracomment>%1 is a chosen MIDI source that is not plugged in.</extracomment>
        <translation>%1（見つかりません）</translation>
    </message>
</context>
<context>
    <name>tempik::ui::MultiplierButtons</name>
    <message>
        <source>Half time</source>
        <translation>ハーフタイム</translation>
    </message>
    <message>
        <source>Normal time</source>
        <translation>通常テンポ</translation>
    </message>
    <message>
        <source>Double time</source>
        <translation>ダブルタイム</translation>
    </message>
</context>
<context>
    <name>tempik::ui::PulsingTapButton</name>
    <message>
        <source>Tap tempo</source>
        <translation>タップテンポ</translation>
    </message>
    <message>
        <source>No tempo</source>
        <translation>テンポなし</translation>
    </message>
    <message>
        <source>%1 BPM, not sent</source>
        <translation>%1 BPM、未送信</translation>
    </message>
    <message>
        <source>%1 BPM</source>
        <translation>%1 BPM</translation>
    </message>
    <message>
        <source>%1, half time</source>
        <extracomment>%1 is the tempo as said above (&quot;120 BPM&quot;, &quot;No tempo&quot;).</extracomment>
        <translation>%1、ハーフタイム</translation>
    </message>
    <message>
        <source>%1, double time</source>
        <translation>%1、ダブルタイム</translation>
    </message>
    <message>
        <source>BPM</source>
        <extracomment>Under the tempo on the button; Eos writes BPM.</extracomment>
        <translation>BPM</translation>
    </message>
    <message>
        <source>not sent</source>
        <extracomment>Under the tempo on the button: the console has not got it. Keep it short.</extracomment>
        <translation>未送信</translation>
    </message>
</context>
<context>
    <name>tempik::ui::QtSettingsStore</name>
    <message>
        <source>the folder cannot be made</source>
        <translation>フォルダーを作成できません</translation>
    </message>
    <message>
        <source>the folder is not writable</source>
        <translation>フォルダーに書き込めません</translation>
    </message>
    <message>
        <source>the file is not writable</source>
        <translation>ファイルに書き込めません</translation>
    </message>
</context>
<context>
    <name>tempik::ui::TapWindowDots</name>
    <message>
        <source>%1 of %2 taps</source>
        <translation>%2 回中 %1 回タップ</translation>
    </message>
</context>
<context>
    <name>tempik::ui::TempikApp</name>
    <message>
        <source>About tempik</source>
        <translation>tempik について</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
</context>
</TS>
