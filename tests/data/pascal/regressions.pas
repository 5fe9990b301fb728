{ This unit is a test source of Glossator's Pascal reader. It holds the constructs that a reader
  working on lines got wrong in real libraries.

  unit NotThisName;
}

{** Regression unit. }
unit Regressions;

{$mode objfpc}{$H+}

interface

uses
  Classes, SysUtils {$IFDEF UNIX}, BaseUnix{$ENDIF}
  {$IFDEF MSWINDOWS}, Windows{$ENDIF};

type
  {** A procedural type, not a routine. }
  TProc = procedure(AKey: Word);

  {** One line. }
  EReadError = class(Exception);

  { TBuffer }

  {** A class with an "end;" in a comment. }
  TBuffer = class(TObject)
  private
    { This comment holds a line that reads
      end;
      as if the class ended here. }
    FSize: Integer;
    FData: record
      Used, Free: Integer;
    end;
    FOnChange: TNotifyEvent; // the change event; end;
  public
    {** Creates a buffer. }
    constructor Create(ASize: Integer;
                       // the owner, if any
                       AOwner: TComponent
                       {$IFDEF DEBUG}; ATag: string{$ENDIF});
    procedure Clear({%H-}Unused: Integer);
    {** A property over three lines. }
    property Size: Integer
      read FSize
      write FSize;
    property OnChange: TNotifyEvent read FOnChange write FOnChange;
  end;

{$IFDEF FPC}
  {** The reader's branch. }
  TPlatformThing = class
    procedure ForFpc;
  end;
{$ELSE}
  {** The other branch. }
  TPlatformThing = class
    procedure ForDelphi;
  end;
{$ENDIF}

  /// <summary>Documented the XML way.</summary>
  /// <param name="AValue">what to keep</param>
  TKeeper = record
    Value: Integer;
    class function Make(AValue: Integer): TKeeper; static;
  end;

{** Frees the buffer. }
procedure FreeBuffer(var ABuffer: TBuffer);

implementation

{** Clears it.
  @param Unused nothing }
procedure TBuffer.Clear(Unused: Integer);
begin
end;

constructor TBuffer.Create(ASize: Integer; AOwner: TComponent);
begin
  FSize := ASize;
end;

procedure TPlatformThing.ForFpc;
begin
end;

class function TKeeper.Make(AValue: Integer): TKeeper;
begin
  Result.Value := AValue;
end;

procedure FreeBuffer(var ABuffer: TBuffer);
begin
  FreeAndNil(ABuffer);
end;

end.
