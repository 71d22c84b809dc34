// Identifiers of the alarm actions area. Control numbers repeat between
// dialogs (1105 is an edit on several), so each dialog's names carry its
// own prefix.
#pragma once

#define IDD_ACTIONS_SOUND 117
#define IDD_ACTIONS_EMAIL 118
#define IDD_ACTIONS_RUN 119
#define IDD_EMAIL_OPTIONS 317
#define IDD_ALARM_ERROR_LOG 329
#define IDD_QUICK_TIMER 331
#define IDD_MAIL_TEST_PROGRESS 375
#define IDI_ACTIONS_EMAIL 324
#define IDI_ACTIONS_RUN 325
#define IDI_ACTIONS_SOUND 326

// "Play Sound"
#define IDC_AS_ENABLED 1294
#define IDC_AS_FILE 1106
#define IDC_AS_FILE_LABEL 1500
#define IDC_AS_LENGTH 1105
#define IDC_AS_LENGTH_SPIN 1146
#define IDC_AS_LENGTH_LABEL 1501
#define IDC_AS_UNTIL_ACK 1172
#define IDC_AS_AUTO_ACK 1410
#define IDC_AS_BROWSE 1009
#define IDC_AS_TEST 1502

// "Send Email"
#define IDC_AE_ENABLED 1345
#define IDC_AE_TO 1105
#define IDC_AE_TO_LABEL 1503
#define IDC_AE_SUBJECT 1371
#define IDC_AE_SUBJECT_LABEL 1504
#define IDC_AE_MESSAGE 1372
#define IDC_AE_MESSAGE_LABEL 1505
#define IDC_AE_TAGS 1506
#define IDC_AE_TEST 1507
#define IDC_AE_SETUP 1508

// "Open File / Program"
#define IDC_AR_ENABLED 1310
#define IDC_AR_INITIAL 1373
#define IDC_AR_SNOOZE 1374
#define IDC_AR_FILE 1376
#define IDC_AR_FILE_LABEL 1509
#define IDC_AR_ARGS 1270
#define IDC_AR_ARGS_LABEL 1510
#define IDC_AR_STARTUP 1377
#define IDC_AR_STARTUP_LABEL 1511
#define IDC_AR_BROWSE 1512
#define IDC_AR_TEST 1513

// "Email Options"
#define IDC_EO_SERVER 1105
#define IDC_EO_PORT 1390
#define IDC_EO_FROM_NAME 1391
#define IDC_EO_FROM_ADDR 1392
#define IDC_EO_PROFILE 1393
#define IDC_EO_USER 1394
#define IDC_EO_PASSWORD 1395
#define IDC_EO_LOGIN 1396
#define IDC_EO_SHARED 1397
#define IDC_EO_MAPI 1266
#define IDC_EO_SMTP 1267
#define IDC_EO_HELP 1465
#define IDC_EO_SERVER_LABEL 1520
#define IDC_EO_PORT_LABEL 1521
#define IDC_EO_FROM_NAME_LABEL 1522
#define IDC_EO_FROM_ADDR_LABEL 1523
#define IDC_EO_LOGIN_LABEL 1524
#define IDC_EO_USER_LABEL 1525
#define IDC_EO_PASSWORD_LABEL 1526
#define IDC_EO_PROFILE_LABEL 1527

// "Sending Email" (the e-mail Test's progress)
#define IDC_MT_TEXT 1530

// "Alarm Error Log"
#define IDC_AL_TEXT 1105

// "Quick Timer"
#define IDC_QT_HOURS 1105
#define IDC_QT_MINUTES 1106
#define IDC_QT_SECONDS 1107
#define IDC_QT_HOURS_SPIN 1121
#define IDC_QT_MINUTES_SPIN 1122
#define IDC_QT_SECONDS_SPIN 1123
#define IDC_QT_START 1413
#define IDC_QT_EXPIRED 1414
#define IDC_QT_CLEAR 1259
