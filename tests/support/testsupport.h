#pragma once

// Helpers shared by several tests live in this folder, one file each.
