#pragma once
// User environment defaults, created with the user security record. Nothing reads them yet.
class TGloUserEnvObject {
public:
    TGloUserEnvObject() = default;
};
