# Windows tree: the compressed formats played through fmodex.dll under Wine.
