#pragma once
// Resource ids of the test program's dialog template.
#define IDD_TEST_DIALOG 2001
#define IDC_TEST_BUTTON 2002
#define IDC_TEST_EDIT 2003
#define IDC_TEST_DRAWN 2004
#define IDC_TEST_LABEL 2005
#define IDD_TEST_PAGE 2010
#define IDC_PAGE_EDIT 2011
