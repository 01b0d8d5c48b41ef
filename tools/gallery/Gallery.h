// Resource ids of the control gallery, apart from the product's own.
#pragma once

#define IDD_GALLERY 910
