#pragma once
// Resource ids shared by the .rc files and the code. A page's heading is the
// control whose id follows the page template's id.
#define IDI_QUILLMERE 1
#define IDB_BANNER 2

// Carried files: the zip libraries and the clean-up program.
#define IDR_ZIPLIB 101
#define IDR_UNZIPLIB 102
#define IDR_CLEANER 104

// The wizard frame.
#define IDD_MAIN 200
#define IDC_MAIN_BANNER 201
#define IDC_MAIN_LINE1 202
#define IDC_MAIN_LINE2 203
#define IDC_MAIN_PAGES 204
#define IDC_MAIN_HELP 205
#define IDC_MAIN_ABOUT 206
#define IDC_MAIN_BACK 207
#define IDC_MAIN_NEXT 208
#define IDC_MAIN_CANCEL 209

// Welcome page.
#define IDD_STEP0 300
#define IDC_STEP0_TITLE 301
#define IDC_STEP0_TEXT 302
#define IDC_STEP0_HINT 303

// Method page.
#define IDD_STEP1 320
#define IDC_STEP1_TITLE 321
#define IDC_STEP1_OPT0 322
#define IDC_STEP1_OPT1 323
#define IDC_STEP1_OPT2 324
#define IDC_STEP1_EXPLAIN0 325
#define IDC_STEP1_EXPLAIN1 326
#define IDC_STEP1_EXPLAIN2 327

// A page whose part of the program is not in place yet.
#define IDD_INTERIM 340
#define IDC_INTERIM_TITLE 341
#define IDC_INTERIM_TEXT 342

// About box.
#define IDD_ABOUT 400
#define IDC_ABOUT_NAME 401
#define IDC_ABOUT_VERSION 402
#define IDC_ABOUT_WEB 403
#define IDC_ABOUT_MAIL 404
#define IDC_ABOUT_TEXT 405

// Backup selection page.
#define IDD_BACK1 410
#define IDC_BACK1_TITLE 411
#define IDC_BACK1_IDLABEL 412
#define IDC_BACK1_IDLIST 413
#define IDC_BACK1_DETAILLABEL 414
#define IDC_BACK1_DETAILLIST 415
#define IDC_BACK1_NOTE 416

// Backup destination page.
#define IDD_BACK2 430
#define IDC_BACK2_TITLE 431
#define IDC_BACK2_FILENAME 432
#define IDC_BACK2_BROWSE 433
#define IDC_BACK2_PROTECT 434
#define IDC_BACK2_PWFRAME 435
#define IDC_BACK2_PWLABEL 436
#define IDC_BACK2_PASSWORD 437
#define IDC_BACK2_CONFIRMLABEL 438
#define IDC_BACK2_CONFIRM 439
#define IDC_BACK2_COMMENTFRAME 440
#define IDC_BACK2_COMMENT 441

// Running-client page.
#define IDD_BACK3 450
#define IDC_BACK3_TITLE 451
#define IDC_BACK3_TEXT 452
#define IDC_BACK3_OE 453
#define IDC_BACK3_MESSENGER 454
#define IDC_BACK3_CHECKING 455
#define IDC_BACK3_DONE 456

// Backup run page.
#define IDD_BACK4 500
#define IDC_BACK4_PROCESS 501
#define IDC_BACK4_PROGRESS 502
#define IDC_BACK4_STATE 503
#define IDC_BACK4_MARK0 504
#define IDC_BACK4_MARK1 505
#define IDC_BACK4_MARK2 506
#define IDC_BACK4_STEP0 507
#define IDC_BACK4_STEP1 508
#define IDC_BACK4_STEP2 509
#define IDC_BACK4_RESULT 510
#define IDC_BACK4_TITLE 511
#define IDC_BACK4_NOTICE 512
#define IDC_BACK4_FILE 513
#define IDC_BACK4_ADVICE 514
#define IDC_BACK4_VERIFIED 515
// Step markers: still to come, done, and the three frames of the arrow.
#define IDB_MARK_NEUTRAL 520
#define IDB_MARK_TICK 521
#define IDB_MARK_ARROW0 522
#define IDB_MARK_ARROW1 523
#define IDB_MARK_ARROW2 524

// Restore source page.
#define IDD_RESTOR1 600
#define IDC_RESTOR1_TITLE 601
#define IDC_RESTOR1_FILENAME 602
#define IDC_RESTOR1_BROWSE 603
#define IDC_RESTOR1_COMMENTFRAME 604
#define IDC_RESTOR1_COMMENT 605

// Restore mapping page.
#define IDD_RESTOR2 620
#define IDC_RESTOR2_TITLE 621
#define IDC_RESTOR2_FROMFRAME 622
#define IDC_RESTOR2_IDLIST 623
#define IDC_RESTOR2_TOFRAME 624
#define IDC_RESTOR2_TOID 625
#define IDC_RESTOR2_ITEMFRAME 626
#define IDC_RESTOR2_ITEM0 627
// IDC_RESTOR2_ITEM0 + 0..5

// Restore run page.
#define IDD_RESTOR3 640
#define IDC_RESTOR3_PROCESS 641
#define IDC_RESTOR3_PROGRESS 642
#define IDC_RESTOR3_STATE 643
#define IDC_RESTOR3_MARK0 644
// IDC_RESTOR3_MARK0 + 0..2
#define IDC_RESTOR3_STEP0 648
// IDC_RESTOR3_STEP0 + 0..2
#define IDC_RESTOR3_IDCAPTION 652
#define IDC_RESTOR3_ID 653
#define IDC_RESTOR3_RESULT 654
#define IDC_RESTOR3_TITLE 655
#define IDC_RESTOR3_FINISHSTATE 656
#define IDC_RESTOR3_SHELL 657

// The password dialog.
#define IDD_PASSWORD 680
#define IDC_PASSWORD_PROMPT 681
#define IDC_PASSWORD_TEXT 682
