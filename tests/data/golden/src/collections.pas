{** Containers for the golden run.
    Covers classes over two units, visibility, fields and every comment tag.
    @see Streams }
unit Collections;

interface

uses
  Classes, SysUtils;

const
  {** Default capacity of a new list. }
  DefaultCapacity = 16;
  {** @deprecated
      Use DefaultCapacity. }
  OldCapacity = 8;
  Separator = ';';
  Greeting: string = 'Hello, world';

type
  {** Raised on a bad index. }
  EListError = class(Exception);

  TItemList = class;

  {** The base of all containers. }
  TContainer = class(TPersistent)
  private
    FCount: Integer;
    {** Grows the storage. }
    procedure Grow;
  protected
    procedure Changed; virtual;
  public
    {** Number of items. }
    Count: Integer;
    Name, Title: string;
    {** Makes an empty container. }
    constructor Create; virtual;
    destructor Destroy; override;
    {** Removes every item.
        @param KeepCapacity whether to keep the storage }
    procedure Clear(KeepCapacity: Boolean); virtual; abstract;
    property Size: Integer read FCount;
  end;

  {** A list of items, in order.
      @see TContainer }
  TItemList = class(TContainer)
  private
    FItems: array of Pointer;
  public
    constructor Create; override;
    {** Adds an item.
        @param Item the item
        @return its index }
    function Add(Item: Pointer): Integer;
    function Add(const Items: array of Pointer): Integer;
    procedure Clear(KeepCapacity: Boolean); override;
    {** Old way to clear. @deprecated }
    procedure Empty;
    {** The items. }
    property Items[Index: Integer]: Pointer read GetItem; default;
  end;

{** Makes a list with room for Capacity items.
    @param Capacity the room
    @return the new list }
function MakeList(Capacity: Integer): TItemList;
function Compare(A, B: Pointer): Integer;
procedure Register;

implementation

constructor TContainer.Create;
begin
end;

destructor TContainer.Destroy;
begin
  inherited Destroy;
end;

procedure TContainer.Grow;
begin
end;

{** Tells the owner. }
procedure TContainer.Changed;
begin
end;

constructor TItemList.Create;
begin
  inherited Create;
end;

{** Appends at the end. }
function TItemList.Add(Item: Pointer): Integer;
begin
  Result := 0;
end;

function TItemList.Add(const Items: array of Pointer): Integer;
begin
  Result := 0;
end;

{** Frees the storage unless asked to keep it. }
procedure TItemList.Clear(KeepCapacity: Boolean);
begin
end;

procedure TItemList.Empty;
begin
  Clear(False);
end;

function MakeList(Capacity: Integer): TItemList;
begin
  Result := TItemList.Create;
end;

{** Orders two items by address.
    @param A the first
    @param B the second
    @return negative, zero or positive }
function Compare(A, B: Pointer): Integer;
begin
  Result := 0;
end;

procedure Register;
begin
end;

end.
