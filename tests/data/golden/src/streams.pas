{** Streams that read items into lists. }
unit Streams;

interface

uses
  Collections;

const
  BufferSize = 4096;

type
  {** Reads items from somewhere. }
  TItemReader = class(TItemList)
  public
    {** Where the items come from. }
    Source: string;
    {** Reads everything.
        @return how many items were read
        @see Collections }
    function ReadAll: Integer;
    property Position: Int64 read FPosition write SetPosition;
  end;

  {** Reads from a file. }
  TFileReader = class(TItemReader, IUnknown)
  public
    constructor Create(const AFileName: string);
  end;

{** Compares two readers. }
function Compare(A, B: TItemReader): Integer;

implementation

function TItemReader.ReadAll: Integer;
begin
  Result := 0;
end;

constructor TFileReader.Create(const AFileName: string);
begin
end;

function Compare(A, B: TItemReader): Integer;
begin
  Result := 0;
end;

end.
