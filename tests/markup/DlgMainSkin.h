#pragma once
// The launcher's window description as it is stored in the skin package,
// shared by the markup tests and the markup fuzz target.

inline const wchar_t kDlgMainSkin[] = LR"XML(<?xml version="1.0" encoding="utf-8" standalone="yes" ?>
<Window size="536,355" caption="0,0,100,30" roundcorner="5,5" bktrans="true" showshadow="true" shadowsize="3" shadowposition="1,1" shadowcolor="#333333">
    <Font id="0" name="微软雅黑" size="18" bold="false" italic="false" />
    <Font id="1" name="微软雅黑" size="24" bold="false" italic="false" />
    <VerticalLayout bkimage="bg.png">
        <VerticalLayout float="true" pos="0,0,0,0" width="536" height="355">
            <!-- header -->
            <HorizontalLayout width="535" height="50">
                <Label name="LabelUI1" float="true" pos="5,5,0,0" width="30" height="30" bkimage="logo.png" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" />
                <Label float="true" pos="50,10,0,0" width="120" height="20" text="Vozeror" textcolor="#005a5a5a" disabledtextcolor="#FFA7A6AA" />
                <Button name="closebtn" float="true" pos="500,5,0,0" width="30" height="30" tooltip="点击退出" normalimage="file='btn_close_1.png' mask='#FFFF00FF'" hotimage="file='btn_close_2.png' mask='#FFFF00FF'" pushedimage="file='btn_close_3.png' mask='#FFFF00FF'" />
            </HorizontalLayout>
            <!-- body -->
            <HorizontalLayout width="535" height="255">
                <Button name="computer_install" float="true" pos="68,20,0,0" width="400" height="90" roundcorner="5,5" bkcolor="#FFFFFFFF" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" normalimage="file='computer_un_1.png' mask='#FF0000' " hotimage="file='computer_un_2.png' mask='#FFFF00FF'" pushedimage="file='computer_un_3.png' mask='#FFFF00FF'" />
                <Button name="computer_run" float="true" pos="68,20,0,0" width="400" height="90" roundcorner="5,5" bkcolor="#FFFFFFFF" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" normalimage="file='computer_run_1.png' mask='#FF0000' " hotimage="file='computer_run_2.png' mask='#FFFF00FF'" pushedimage="file='computer_run_3.png' mask='#FFFF00FF'" disabledimage="file='computer_run_dis.png' mask='#FFFF00FF'" />
                <Progress name="computer_pro" float="true" pos="292,40,0,0" width="80" height="8" bkimage="install_b.png" foreimage="install_f.png" min="0" max="100" value="30" hor="true" align="center" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" />
                <Button name="phone_jump" float="true" pos="68,150,0,0" width="400" height="90" bkcolor="#FFFFFFFF" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" normalimage="file='phone_jump_1.png' mask='#FFFF00FF'" hotimage="file='phone_jump_2.png' mask='#FFFF00FF'" pushedimage="file='phone_jump_3.png' mask='#FFFF00FF'" />
                <Label name="firstBK3" float="true" pos="33,20,0,0" width="470" height="250" visible="false" roundcorner="5,5" bkcolor="#FFFFFFFF" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" />
                <Button name="iphone_install" float="true" pos="92,75,0,0" width="158" height="178" visible="false" normalimage="file='iphone_1.png' mask='#FFFF00FF'" hotimage="file='iphone_2.png' mask='#FFFF00FF'" pushedimage="file='iphone_3.png' mask='#FFFF00FF'" />
                <Button name="iphone_run" float="true" pos="92,75,0,0" width="158" height="178" visible="false" normalimage="file='iphone_run_1.png' mask='#FFFF00FF'" hotimage="file='iphone_run_2.png' mask='#FFFF00FF'" pushedimage="file='iphone_run_3.png' mask='#FFFF00FF'" />
                <Button name="android_install" float="true" pos="290,75,0,0" width="158" height="178" visible="false" normalimage="file='android_1.png' mask='#FFFF00FF'" hotimage="file='android_2.png' mask='#FFFF00FF'" pushedimage="file='android_3.png' mask='#FFFF00FF'" />
                <Button name="android_run" float="true" pos="290,75,0,0" width="158" height="178" visible="false" normalimage="file='android_run_1.png' mask='#FFFF00FF'" hotimage="file='android_run_2.png' mask='#FFFF00FF'" pushedimage="file='android_run_3.png' mask='#FFFF00FF'" />
                <Label name="choose_text" float="true" pos="122,40,0,0" width="300" height="30" visible="false" text="请选择需要恢复的手机类型" font="1" textpadding="2,0,2,0" textcolor="#00808080" disabledtextcolor="#FFA7A6AA" align="wrap" />
                <Progress name="iphone_pro" float="true" pos="130,200,0,0" width="80" height="8" visible="false" bkimage="install_b.png" foreimage="install_f.png" min="0" max="100" value="30" hor="true" align="center" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" />
                <Progress name="android_pro" float="true" pos="328,200,0,0" width="80" height="8" visible="false" bkimage="install_b.png" foreimage="install_f.png" min="0" max="100" value="30" hor="true" align="center" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" />
            </HorizontalLayout>
            <!-- footer -->
            <HorizontalLayout width="535" height="50">
                <Label name="qq_ico" float="true" pos="120,20,0,0" width="14" height="14" bkimage="qq_ico.png" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" />
                <Button name="qq" float="true" pos="138,18,0,0" width="100" height="20" text="客服:4000012345" textpadding="2,0,2,0" textcolor="#00808080" disabledtextcolor="#FFA7A6AA" align="wrap" />
                <Label name="tel_ico" float="true" pos="250,20,0,0" width="14" height="14" bkimage="tel_ico.png" textcolor="#FF000000" disabledtextcolor="#FFA7A6AA" />
                <Button name="tel" float="true" pos="268,18,0,0" width="100" height="20" text="热线:4000012345" textpadding="2,0,2,0" textcolor="#00808080" disabledtextcolor="#FFA7A6AA" align="wrap" />
                <Button name="return" float="true" pos="450,15,0,0" width="60" height="30" visible="false" text="{u}&lt;&lt;返回{/u}" showhtml="true" textcolor="#0000C0FF" disabledtextcolor="#FFA7A6AA" align="center" />
            </HorizontalLayout>
        </VerticalLayout>
    </VerticalLayout>
</Window>
)XML";
